// Placeholder while this command group is being written; replaced in full.
#include <cstdio>
#include "Commands.h"
namespace vk410::ctl {
void PrintUsage() { std::fputs("usage: vedu-vk410ctl show|new|convert|read|write ...\n", stderr); }
int CmdShow(const QStringList&) { PrintUsage(); return kUsage; }
int CmdNew(const QStringList&) { PrintUsage(); return kUsage; }
int CmdConvert(const QStringList&) { PrintUsage(); return kUsage; }
}
