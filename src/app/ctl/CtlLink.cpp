// Placeholder while this command group is being written; replaced in full.
#include <cstdio>
#include "Commands.h"
namespace vk410::ctl {
int CmdRead(const QStringList&) { PrintUsage(); return kUsage; }
int CmdWrite(const QStringList&) { PrintUsage(); return kUsage; }
}
