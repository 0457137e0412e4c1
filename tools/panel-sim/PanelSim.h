#pragma once
// The simulated panel's protocol: it takes the programmer's frames and
// answers them as a Varko-410 panel does, with optional faults.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "model/Configuration.h"

namespace vk410::sim {

enum class Fault {
    Silent,     // never answers
    BadCrc,     // wrong check byte
    ExtraByte,  // one byte more behind each frame
    Flood,      // 300 bytes of noise instead of a reply
    Split,      // each reply in two parts, 300 ms apart
    Late,       // each reply's first two bytes 1 s after the request, the rest 0.45 s later
    OneByte,    // only the first byte of each reply
    WrongModel, // block-1 replies carry model code 5
    BadEcho,    // a write's echo differs in one payload byte
    BadGprsEcho, // only block 3's echo differs: blocks 1 and 2 are confirmed
    Hangup,     // the line closes in the middle of the second reply
    ModuleSilent, // block 1 says a module is fitted; nobody answers for blocks 2 and 3
};

// "bad-crc" -> Fault::BadCrc and so on; false for an unknown name.
bool ParseFault(const std::string& name, Fault& fault);

struct PanelConfig {
    Configuration cfg;   // cfg.model is the panel's model code (0 or 1)
    uint8_t version = 1; // firmware version byte
    bool cxm = false;    // a CXM module is fitted: blocks 2 and 3 answer
    std::set<Fault> faults;
};

// A panel of the model with its default main block; with cxm the CXM flag is
// set and the GSM block holds its defaults.
PanelConfig DefaultPanel(uint8_t model, bool cxm);

// Reads a .cf8 text into a panel; its CXM flag decides whether a module is
// fitted. False (panel untouched) when the file is rejected; error says why
// where the file tells (a broken structure, a value that is no number).
bool LoadPanel(const std::string& fileBytes, PanelConfig& panel, std::string& error);

// Splits a byte stream into intact frames: a start byte, a length of at least
// 5 and a matching check byte. Anything else is skipped byte by byte. The
// pending bytes are bounded, and a partial frame older than a second is
// dropped so that line noise cannot wedge the panel.
class FrameReader {
public:
    std::vector<std::vector<uint8_t>> Feed(const uint8_t* data, std::size_t size, int64_t nowMs);

private:
    std::vector<uint8_t> pending_;
    int64_t lastMs_ = 0;
};

class PanelSim {
public:
    explicit PanelSim(PanelConfig config);

    // The reply to one intact frame, faults applied; empty for no answer.
    // accepted tells whether a write changed the panel's configuration.
    std::vector<uint8_t> Answer(const std::vector<uint8_t>& frame, bool& accepted);

    const PanelConfig& Config() const { return config_; }
    GprsTexts Texts() const;      // decoded from block 3 (empty when none)
    std::string StateJson() const; // the configuration as JSON with "version"

    std::vector<uint8_t> MainReply() const;
    std::vector<uint8_t> GsmReply() const;
    std::vector<uint8_t> GprsReply() const;

private:
    bool Has(Fault f) const { return config_.faults.count(f) != 0; }
    std::vector<uint8_t> AnswerRead(uint8_t block) const;
    std::vector<uint8_t> AnswerWrite(const std::vector<uint8_t>& frame, bool& accepted);
    void Corrupt(std::vector<uint8_t>& reply, uint8_t block, bool isEcho) const;

    PanelConfig config_;
};

} // namespace vk410::sim
