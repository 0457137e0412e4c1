#pragma once
// The record of one exchange: every frame sent and every piece received with
// its time, each wait for a reply and how it ended, and which acceptance rule
// took or refused each reply. The exchange thread and the receive handler
// add to it; the monitor, `--trace`, the journal and the diagnosis read it.
// Nothing here is text: entries are plain data, put into words by whoever
// reads them (RecordRows), never on the exchange's own thread. No Qt.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace vk410 {

enum class RecordEvent : uint8_t {
    Opened,   // the port opened: the clock starts
    Sent,     // a frame went out
    Received, // a piece came in, at the poll that took it
    Waited,   // a wait for a reply ended
    Verdict,  // an acceptance rule took or refused a reply
    LineLost, // the port went away under the exchange
    Closed,   // the exchange closed the port
};

enum class WaitEnd : uint8_t {
    FirstBytes, // the first two bytes came
    NoBytes,    // nothing came before the deadline
    Complete,   // the reply's length byte matched what came
    Incomplete, // the deadline passed with another count than the length byte
};

enum class Rule : uint8_t {
    FrameTaken,     // start byte, length byte and check byte right
    NoStartByte,    // the first byte is not 0x7E: no frame at all
    ShortFrame,     // fewer bytes than the length byte says (or no length byte)
    LongFrame,      // more bytes than the length byte says
    BadCheck,       // the check byte is wrong
    UnknownModel,   // a block-1 reply with a model code the programmer does not know
    NotDataReply,   // not a data reply (command byte other than 'D')
    EchoOtherModel, // a block-1 echo naming another model than the one written
    EchoDiffers,    // an echo that differs from what was sent
    EchoTaken,      // an echo equal to what was sent
    ReplyTaken,     // a read reply taken into its block
    NoGprsBody,     // a block-3 reply without settings: the block stays as it was
};

struct RecordEntry {
    int64_t ms = 0; // from the port's opening
    RecordEvent event = RecordEvent::Opened;
    uint8_t block = 0;          // 1..3, where the entry belongs to a block
    std::vector<uint8_t> bytes{}; // Sent, Received: the bytes; Verdict: the reply as received
    std::size_t count = 0;      // Waited, Verdict: the bytes received by then (may exceed bytes)
    int deadlineMs = 0;         // Waited: how long the wait could last
    WaitEnd end = WaitEnd::NoBytes;
    Rule rule = Rule::FrameTaken;
    uint8_t expected = 0;       // Verdict: the model expected, or the byte sent (EchoDiffers)
    uint8_t got = 0;            // EchoDiffers: the byte echoed
    std::vector<uint8_t> sent{}; // EchoDiffers: the frame as sent
    int index = -1;             // EchoDiffers: the first payload byte that differs
};

// Thread-safe: the exchange thread and the port's polling thread both add.
class ExchangeRecord {
public:
    static constexpr std::size_t kMaxEntries = 4096; // a flood of pieces is cut here

    explicit ExchangeRecord(bool isWrite) : isWrite_(isWrite) {}

    bool IsWrite() const { return isWrite_; }
    // Adds an entry stamped with the time since Opened (0 before it).
    void Add(RecordEntry entry);
    // The entries from `from` on, a consistent copy.
    std::vector<RecordEntry> Entries(std::size_t from = 0) const;
    std::size_t Size() const;

private:
    mutable std::mutex m_;
    const bool isWrite_;
    bool opened_ = false;
    std::chrono::steady_clock::time_point start_;
    std::vector<RecordEntry> entries_;
};

// An entry in words, as the monitor's table shows it and `--trace` prints it.
struct RecordRow {
    std::string time;      // "1060 мс"
    std::string direction; // "→" sent, "←" received, "" otherwise
    std::string hex;       // "7E 0A 52 01 ..."
    std::string reading;   // what the entry says
};
RecordRow RowOf(const RecordEntry& e);
// One line: the row's columns, the bytes last.
std::string LineOf(const RecordEntry& e);
// The whole record as text, a line an entry, headed by what the exchange was.
std::string RecordText(const std::vector<RecordEntry>& entries, bool isWrite);

// Upper-case hex bytes separated by spaces.
std::string SpacedHex(const uint8_t* data, std::size_t count);

} // namespace vk410
