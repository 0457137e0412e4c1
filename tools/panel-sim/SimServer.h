#pragma once
// The simulated panel on a pseudo-terminal: a loop that reads the
// programmer's frames from the pty master and writes the panel's replies.
// Paced (unless pacing is off) at 2400 baud both ways: a frame is taken no
// sooner than its bytes would have arrived, a reply goes out byte by byte.
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "PanelSim.h"

namespace vk410::sim {

class SimServer {
public:
    using Clock = std::chrono::steady_clock;

    SimServer(PanelConfig config, bool pacing);
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Opens the pty (and places a symlink at linkPath when given). The
    // server keeps a slave descriptor of its own open, so the programmer may
    // close and reopen the slave. False with a reason in error.
    bool Open(const std::string& linkPath, std::string& error);
    const std::string& SlavePath() const { return slavePath_; }
    // The path to give the programmer: the symlink when there is one.
    std::string PortPath() const { return linkPath_.empty() ? slavePath_ : linkPath_; }

    // After start and after every accepted write, the state JSON goes to path.
    void SetStateFile(const std::string& path);

    // Serves on a thread of its own until Stop() or a hang-up.
    void Start();
    // Serves on the calling thread until RequestStop() or a hang-up.
    void Run();
    void RequestStop() { stop_.store(true); }
    void Stop(); // RequestStop and join; closes the pty

    bool Running() const { return running_.load(); }
    bool HungUp() const { return hungUp_.load(); }
    // A copy of the panel's configuration and the number of frames answered.
    PanelConfig State() const;
    int RepliesSent() const { return replies_.load(); }

private:
    // arrived: when the request reached the pty, as the programmer sent it.
    void Serve(const std::vector<uint8_t>& frame, Clock::time_point arrived);
    void SendLate(const std::vector<uint8_t>& reply, Clock::time_point arrived);
    bool Send(const uint8_t* data, std::size_t size); // false when stopping
    bool Wait(std::chrono::milliseconds time);         // false when stopping
    bool WaitUntil(Clock::time_point until);           // false when stopping
    void HangUp();
    void WriteState();
    void ClosePty();

    mutable std::mutex m_; // guards sim_
    PanelSim sim_;
    const bool pacing_;
    FrameReader reader_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string linkPath_; // fixed once open; the link itself goes with the pty
    bool linkPlaced_ = false;
    std::string statePath_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::atomic<bool> hungUp_{false};
    std::atomic<int> replies_{0};
};

} // namespace vk410::sim
