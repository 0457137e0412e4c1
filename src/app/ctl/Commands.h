#pragma once
#include <QStringList>

#include "files/Journal.h"
#include "model/Description.h"

namespace vk410::ctl {

// Exit codes of vedu-vk410ctl.
enum Exit : int {
    kDone = 0,
    kUsage = 1,       // wrong usage; the usage text was printed
    kFileFailed = 2,  // file rejected or not readable/writable
    kExchangeFailed = 3,
    kPortFailed = 4,
    kDifferent = 5,   // diff: the two configurations differ
};

void PrintUsage();

// Each command gets the arguments after its name.
int CmdShow(const QStringList& args);
int CmdNew(const QStringList& args);
int CmdConvert(const QStringList& args);
int CmdRead(const QStringList& args);
int CmdWrite(const QStringList& args);
int CmdDiff(const QStringList& args);
int CmdReport(const QStringList& args);
int CmdPorts(const QStringList& args);
int CmdJournal(const QStringList& args);

// Opens a file as the window's "Open" does; on failure says why and gives false.
bool OpenFile(const QString& path, Configuration& cfg, GprsTexts& texts);
// Reads the panel on a port as `read` does, with its progress on standard
// error; the exit code of the outcome. version: the panel's firmware version.
int ReadPanel(const QString& port, Configuration& cfg, GprsTexts& texts, int& version, bool keepJournal);
// Adds a finished exchange to the journal; standard error says when it could not.
void KeepInJournal(const FinishedExchange& x);
// The description for a person, grouped by page and item.
std::string PersonText(const Description& d);

} // namespace vk410::ctl
