#pragma once
// What each of the three programs does with its process around its work (no
// Qt): the standard descriptors, the file-size signal, --version and the
// check of standard output.

namespace vk410 {

// Opens /dev/null on whichever of descriptors 0, 1 and 2 is closed, so that
// nothing opened later (a serial port) takes its place and receives the
// program's messages. The first thing main() does. Nothing on Windows.
void OpenClosedStandardDescriptors();

// A file-size limit (ulimit -f) then fails the write with EFBIG instead of
// killing the process, so that the program can say what was not written.
void IgnoreFileSizeSignal();

// The first argument is "--version".
bool VersionAsked(int argc, char** argv);
// "program 1.3.4.0" on standard output; the exit code FinishOutput gives.
int PrintVersion(const char* program);

// Flushes standard output. When something written there did not get out (a
// full disk, a closed pipe) says so on standard error and gives 2; otherwise code.
int FinishOutput(const char* program, int code);

} // namespace vk410
