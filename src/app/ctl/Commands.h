#pragma once
#include <QString>
#include <QStringList>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "files/Journal.h"
#include "model/Description.h"

namespace vk410::ctl {

// Exit codes of vedu-vk410ctl.
enum Exit : int {
    kDone = 0,
    kUsage = 1,       // wrong usage; what was wrong went to standard error
    kFileFailed = 2,  // file rejected or not readable/writable
    kExchangeFailed = 3, // a write may have reached the panel in part
    kPortFailed = 4,
    kDifferent = 5,   // diff: the two configurations differ
};

// One option of a command; value is the placeholder of its value, or null for a flag.
struct OptionSpec {
    const char* name;
    const char* value;
    const char* help;
    bool required = false;
};

class Args;

// A command as the parser and the help know it. Adding a command is one entry
// in the table of main.cpp; adding an option, one OptionSpec line.
struct CommandSpec {
    const char* name;
    const char* synopsis; // what follows the name in the usage line
    const char* summary;  // one line of the overview
    std::vector<OptionSpec> options;
    std::vector<const char*> operands; // placeholders; the last ones may be optional
    std::size_t minOperands;
    std::string details; // further lines of the command's help, each ended by '\n'
    int (*run)(const Args&);
};

// A parsed command line.
class Args {
public:
    const CommandSpec* command = nullptr;
    QStringList operands;

    bool Has(const char* option) const { return given_.count(option) != 0; }
    QString Value(const char* option) const;
    void Set(const char* option, const QString& value) { given_[option] = value; }

private:
    std::map<std::string, QString> given_;
};

// Parses a command's arguments. False when the command must not run: help was
// asked for (code kDone) or the arguments are wrong (said, code kUsage).
bool ParseArgs(const CommandSpec& spec, const QStringList& argv, Args& out, int& code);

// The usage line, the commands with their summaries, then footer.
void PrintOverview(const std::vector<CommandSpec>& commands, const std::string& footer, std::FILE* to);

// "vedu-vk410ctl: text" on standard error.
void Message(const QString& text);
// A progress or status line on standard error, as the window's status bar shows it.
void PrintLine(const QString& text);
// What was wrong, then where the help is; gives kUsage.
int UsageError(const QString& text, const CommandSpec* command = nullptr);

// The device the port text stands for: the port box rule, plus a relative
// path for convenience on the command line. Empty when it names none.
QString DeviceOf(const QString& port);
// --port names a device; otherwise says so and gives false.
bool PortUnderstood(const Args& a);

// --frames comes only with --json; otherwise says so and gives false.
bool FramesWithJson(const Args& a);

// Opens a file as the window's "Open" does; on failure says why and gives false.
bool OpenFile(const QString& path, Configuration& cfg, GprsTexts& texts);
// Saves as the window's "Save as" does (".cf8" appended where the name lacks
// it); the exit code of the outcome.
int SaveFile(const QString& path, const Configuration& cfg, const GprsTexts& texts);
// Says that the file at path could not be saved, and why.
void FileNotSaved(const QString& path, const QString& why);
// How an exchange from the command line is run.
struct ExchangeOptions {
    std::optional<JournalOp> journalAs; // the operation the journal keeps it as; none keeps nothing
    bool trace = false;                 // the record on standard error as it grows
};
// The options a command line gives: the journal unless --no-journal, --trace.
ExchangeOptions OptionsOf(const Args& a, JournalOp op);
// Reads the panel on a port as `read` does, with its progress on standard
// error; the exit code of the outcome. version: the panel's firmware version.
int ReadPanel(const QString& port, Configuration& cfg, GprsTexts& texts, int& version, const ExchangeOptions& options);
// Adds a finished exchange to the journal; standard error says when it could not.
void KeepInJournal(const FinishedExchange& x);
// The journal entry --from-journal names (1 the newest) as a write sends it:
// its exact bytes where it keeps them (exact true: the radio settings are the
// panel's), otherwise its .cf8. The exit code; what was wrong went to standard error.
int JournalEntryToWrite(const Args& a, Configuration& cfg, GprsTexts& texts, bool& exact);
// The description for a person, grouped by page and item.
std::string PersonText(const Description& d);

int CmdShow(const Args& a);
int CmdNew(const Args& a);
int CmdConvert(const Args& a);
int CmdRead(const Args& a);
int CmdWrite(const Args& a);
int CmdDiff(const Args& a);
int CmdReport(const Args& a);
int CmdPorts(const Args& a);
int CmdJournal(const Args& a);

} // namespace vk410::ctl
