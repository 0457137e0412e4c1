// vedu-vk410ctl: the command-line programmer (no widgets).
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

#include "Commands.h"

namespace {

// The report lays out its PDF with Qt Gui, on the offscreen platform: the
// command line never needs a display.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char* argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "report") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char* argv[])
{
    const auto app = MakeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vedu-vk410ctl"));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        vk410::ctl::PrintUsage();
        return vk410::ctl::kUsage;
    }
    const std::map<QString, std::function<int(const QStringList&)>> commands = {
        {QStringLiteral("show"), vk410::ctl::CmdShow},
        {QStringLiteral("new"), vk410::ctl::CmdNew},
        {QStringLiteral("convert"), vk410::ctl::CmdConvert},
        {QStringLiteral("read"), vk410::ctl::CmdRead},
        {QStringLiteral("write"), vk410::ctl::CmdWrite},
        {QStringLiteral("diff"), vk410::ctl::CmdDiff},
        {QStringLiteral("report"), vk410::ctl::CmdReport},
        {QStringLiteral("ports"), vk410::ctl::CmdPorts},
        {QStringLiteral("journal"), vk410::ctl::CmdJournal},
    };
    const QString name = args.takeFirst();
    const auto it = commands.find(name);
    if (it == commands.end()) {
        vk410::ctl::PrintUsage();
        return vk410::ctl::kUsage;
    }
    return it->second(args);
}
