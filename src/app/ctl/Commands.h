#pragma once
#include <QStringList>

namespace vk410::ctl {

// Exit codes of vedu-vk410ctl.
enum Exit : int {
    kDone = 0,
    kUsage = 1,       // wrong usage; the usage text was printed
    kFileFailed = 2,  // file rejected or not readable/writable
    kExchangeFailed = 3,
    kPortFailed = 4,
};

void PrintUsage();

// Each command gets the arguments after its name.
int CmdShow(const QStringList& args);
int CmdNew(const QStringList& args);
int CmdConvert(const QStringList& args);
int CmdRead(const QStringList& args);
int CmdWrite(const QStringList& args);

} // namespace vk410::ctl
