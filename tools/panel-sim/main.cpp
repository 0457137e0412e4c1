// vk410-panel-sim: a Varko-410 panel on a pseudo-terminal.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <pthread.h>
#include <sstream>
#include <string>

#include "SimServer.h"

namespace {

using namespace vk410::sim;

struct Options {
    int model = 0;
    int version = 1;
    bool cxm = false;
    bool pacing = true;
    std::string load, link, stateFile;
    std::set<Fault> faults;
};

void Usage()
{
    std::fputs("usage: vk410-panel-sim [--model 0|1] [--version N] [--load FILE.cf8] [--cxm]\n"
               "                       [--link PATH] [--state-file PATH] [--no-pacing]\n"
               "                       [--fault silent|bad-crc|extra-byte|flood|split|late|\n"
               "                                one-byte|wrong-model|bad-echo|hangup]...\n"
               "Prints the pty slave path as its first line and serves until terminated.\n",
               stderr);
}

bool ParseInt(const char* text, int lo, int hi, int& out)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < lo || v > hi)
        return false;
    out = int(v);
    return true;
}

bool ParseArgs(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--cxm") {
            o.cxm = true;
        } else if (a == "--no-pacing") {
            o.pacing = false;
        } else if (!hasValue) {
            return false;
        } else if (a == "--model") {
            if (!ParseInt(argv[++i], 0, 1, o.model))
                return false;
        } else if (a == "--version") {
            if (!ParseInt(argv[++i], 0, 255, o.version))
                return false;
        } else if (a == "--load") {
            o.load = argv[++i];
        } else if (a == "--link") {
            o.link = argv[++i];
        } else if (a == "--state-file") {
            o.stateFile = argv[++i];
        } else if (a == "--fault") {
            Fault f;
            if (!ParseFault(argv[++i], f))
                return false;
            o.faults.insert(f);
        } else {
            return false;
        }
    }
    return true;
}

bool BuildPanel(const Options& o, PanelConfig& panel)
{
    panel = DefaultPanel(uint8_t(o.model), o.cxm);
    panel.version = uint8_t(o.version);
    panel.faults = o.faults;
    if (o.load.empty())
        return true;
    std::ifstream in(o.load, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "vk410-panel-sim: cannot read %s\n", o.load.c_str());
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    if (!LoadPanel(bytes, panel, error)) {
        std::fprintf(stderr, "vk410-panel-sim: %s: %s\n", o.load.c_str(), error.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!ParseArgs(argc, argv, o)) {
        Usage();
        return 1;
    }
    PanelConfig panel;
    if (!BuildPanel(o, panel))
        return 2;

    // Termination signals are taken synchronously by this thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    SimServer server(panel, o.pacing);
    std::string error;
    if (!server.Open(o.link, error)) {
        std::fprintf(stderr, "vk410-panel-sim: %s\n", error.c_str());
        return 2;
    }
    server.SetStateFile(o.stateFile);
    std::printf("%s\n", server.SlavePath().c_str());
    std::fflush(stdout);
    server.Start();

    const timespec tick{0, 200'000'000};
    while (!server.HungUp() && sigtimedwait(&stopSignals, nullptr, &tick) < 0) {
    }
    if (server.HungUp())
        std::fputs("vk410-panel-sim: line closed (hangup)\n", stderr);
    server.Stop();
    return 0;
}
