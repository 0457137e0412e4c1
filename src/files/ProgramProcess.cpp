#include "ProgramProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "ProgramVersion.h"
#include "SystemError.h"

namespace vk410 {

void OpenClosedStandardDescriptors()
{
#ifndef _WIN32
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free descriptor is this one: the lower ones are open by now.
        const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
#endif
}

void IgnoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

bool VersionAsked(int argc, char** argv) { return argc > 1 && std::strcmp(argv[1], "--version") == 0; }

int PrintVersion(const char* program)
{
    std::printf("%s %s\n", program, kProgramVersion);
    return FinishOutput(program, 0);
}

int FinishOutput(const char* program, int code)
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return code;
    const int error = errno;
    std::fprintf(stderr, "%s: не удалось вывести результат: %s\n", program,
                 ErrorWords(error, FileAccess::Write).c_str());
    return 2;
}

} // namespace vk410
