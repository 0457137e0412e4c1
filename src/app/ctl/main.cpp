// vedu-vk410ctl: the command-line programmer (no widgets).
#include <QCoreApplication>
#include <cstdio>
#include <functional>
#include <map>

#include "Commands.h"

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
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
    };
    const QString name = args.takeFirst();
    const auto it = commands.find(name);
    if (it == commands.end()) {
        vk410::ctl::PrintUsage();
        return vk410::ctl::kUsage;
    }
    return it->second(args);
}
