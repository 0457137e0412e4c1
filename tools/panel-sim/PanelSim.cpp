#include "PanelSim.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "files/ConfigJson.h"
#include "files/FileMapping.h"
#include "model/BCC.h"
#include "link/Frames.h"
#include "model/Errors.h"

namespace vk410::sim {
namespace {

constexpr std::size_t kMaxPending = 512;
constexpr int64_t kStaleMs = 1000;
constexpr std::size_t kFloodSize = 300;
constexpr uint8_t kWrongModel = 5;

void Seal(std::vector<uint8_t>& frame)
{
    frame[1] = uint8_t(frame.size());
    frame.back() = CalcBCC(frame.data(), int(frame.size() - 1));
}

std::vector<uint8_t> DataFrame(uint8_t byte3, const uint8_t* body, std::size_t bodySize)
{
    // Sized at once: g++ 12 at -O3 sees phantom overflows in an insert behind an initialiser list.
    std::vector<uint8_t> f(kHeaderSize + bodySize + 1, 0);
    f[0] = kStartByte;
    f[2] = kCmdData;
    f[3] = byte3;
    std::copy_n(body, bodySize, f.begin() + kHeaderSize);
    Seal(f);
    return f;
}

// The panel keeps block 3 as it answers it, so that a read gives back
// exactly what it holds.
void KeepAsReply(TGprsBlock& gprs)
{
    const std::size_t n = gprs.frameLength();
    if (n < 5)
        return;
    gprs.buf[1] = uint8_t(n);
    gprs.buf[2] = kCmdData;
    gprs.buf[n - 1] = CalcBCC(gprs.buf.data(), int(n - 1));
}

} // namespace

bool ParseFault(const std::string& name, Fault& fault)
{
    static const std::map<std::string, Fault> names = {
        {"silent", Fault::Silent},   {"bad-crc", Fault::BadCrc},      {"extra-byte", Fault::ExtraByte},
        {"flood", Fault::Flood},     {"split", Fault::Split},         {"one-byte", Fault::OneByte},
        {"late", Fault::Late},
        {"wrong-model", Fault::WrongModel}, {"bad-echo", Fault::BadEcho}, {"hangup", Fault::Hangup},
        {"module-silent", Fault::ModuleSilent},
        {"bad-gprs-echo", Fault::BadGprsEcho},
    };
    const auto it = names.find(name);
    if (it == names.end())
        return false;
    fault = it->second;
    return true;
}

PanelConfig DefaultPanel(uint8_t model, bool cxm)
{
    PanelConfig p;
    p.cfg.model = model;
    LoadDefaults(p.cfg.main, model);
    LoadGsmDefaults(p.cfg.gsm);
    if (cxm)
        p.cfg.main.at(MainOff::state) = 1;
    p.cxm = cxm;
    return p;
}

bool LoadPanel(const std::string& fileBytes, PanelConfig& panel, std::string& error)
{
    PanelConfig next = DefaultPanel(panel.cfg.model, false);
    GprsTexts texts;
    try {
        TsdParseResult fault;
        if (ReadConfigText(fileBytes, next.cfg, texts, &fault) == kFailureCode) {
            error = fault.ok() ? std::string() : ParseFaultText(fault);
            return false;
        }
    } catch (const Error& e) {
        error = e.what();
        return false;
    }
    next.cxm = next.cfg.main.at(MainOff::state) != 0;
    KeepAsReply(next.cfg.gprs);
    next.version = panel.version;
    next.faults = panel.faults;
    panel = next;
    return true;
}

std::vector<std::vector<uint8_t>> FrameReader::Feed(const uint8_t* data, std::size_t size, int64_t nowMs)
{
    if (!pending_.empty() && nowMs - lastMs_ > kStaleMs)
        pending_.clear();
    lastMs_ = nowMs;
    pending_.insert(pending_.end(), data, data + size);
    if (pending_.size() > kMaxPending)
        pending_.erase(pending_.begin(), pending_.end() - kMaxPending);
    // A start byte whose frame is not complete yet may be noise: look for
    // complete frames behind it, and keep it only while nothing follows.
    std::vector<std::vector<uint8_t>> frames;
    constexpr std::size_t kNone = SIZE_MAX;
    std::size_t keepFrom = kNone;
    std::size_t p = 0;
    const std::size_t have = pending_.size();
    while (p < have) {
        if (pending_[p] != kStartByte || (have - p >= 2 && pending_[p + 1] < 5)) {
            ++p;
            continue;
        }
        const std::size_t len = have - p >= 2 ? pending_[p + 1] : kNone;
        if (len == kNone || have - p < len) {
            keepFrom = std::min(keepFrom, p);
            ++p;
            continue;
        }
        if (!FrameComplete(pending_.data() + p, len)) {
            ++p;
            continue;
        }
        frames.emplace_back(pending_.begin() + std::ptrdiff_t(p), pending_.begin() + std::ptrdiff_t(p + len));
        p += len;
        keepFrom = kNone;
    }
    pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(std::min(keepFrom, p)));
    return frames;
}

PanelSim::PanelSim(PanelConfig config) : config_(std::move(config))
{
    KeepAsReply(config_.cfg.gprs);
    // Its configuration claims a module that is not there; a write of block 1
    // without the flag puts that right, as it would on a real panel.
    if (Has(Fault::ModuleSilent)) {
        config_.cfg.main.at(MainOff::state) = 1;
        config_.cxm = false;
    }
}

GprsTexts PanelSim::Texts() const
{
    GprsTexts texts;
    if (!LoadGprsTexts(config_.cfg.gprs, texts))
        return {};
    return texts;
}

std::string PanelSim::StateJson() const { return ConfigJson(config_.cfg, Texts(), config_.version); }

std::vector<uint8_t> PanelSim::MainReply() const
{
    const Configuration& c = config_.cfg;
    // The body begins at MainReplyOff::version: the version, then the payload.
    std::vector<uint8_t> body = {config_.version};
    body.insert(body.end(), c.main.payload(), c.main.payload() + PayloadLength(c.model));
    return DataFrame(c.model, body.data(), body.size());
}

std::vector<uint8_t> PanelSim::GsmReply() const
{
    return DataFrame(2, config_.cfg.gsm.payload(), kGsmPayloadSize);
}

std::vector<uint8_t> PanelSim::GprsReply() const
{
    const TGprsBlock& g = config_.cfg.gprs;
    const std::size_t n = g.frameLength();
    if (n < 5)
        return DataFrame(3, nullptr, 0);
    return DataFrame(3, g.buf.data() + kHeaderSize, n - kHeaderSize - 1);
}

std::vector<uint8_t> PanelSim::Answer(const std::vector<uint8_t>& frame, bool& accepted)
{
    accepted = false;
    if (Has(Fault::Silent) || frame.size() < 5)
        return {};
    std::vector<uint8_t> reply;
    const bool isWrite = frame[2] == kCmdWrite;
    if (frame[2] == kCmdRead)
        reply = AnswerRead(frame[3]);
    else if (isWrite)
        reply = AnswerWrite(frame, accepted);
    if (!reply.empty())
        Corrupt(reply, frame[3], isWrite);
    return reply;
}

std::vector<uint8_t> PanelSim::AnswerRead(uint8_t block) const
{
    if (block == 1)
        return MainReply();
    if (!config_.cxm)
        return {}; // no module: nobody answers for blocks 2 and 3
    if (block == 2)
        return GsmReply();
    if (block == 3)
        return GprsReply();
    return {};
}

std::vector<uint8_t> PanelSim::AnswerWrite(const std::vector<uint8_t>& frame, bool& accepted)
{
    Configuration& c = config_.cfg;
    const std::size_t len = frame.size();
    switch (frame[3]) {
    case 1:
        // A frame for another model leaves the panel as it is.
        if (len == kHeaderSize + PayloadLength(c.model) + 1) {
            std::copy_n(frame.begin() + kHeaderSize, PayloadLength(c.model), c.main.payload());
            accepted = true;
        }
        return MainReply();
    case 2:
        if (!config_.cxm)
            return {};
        if (len == kGsmFrameSize) {
            std::copy(frame.begin(), frame.end(), c.gsm.buf.begin());
            accepted = true;
        }
        return GsmReply();
    case 3:
        if (!config_.cxm)
            return {};
        if (len <= kFrameBufSize) {
            c.gprs.buf.fill(0);
            std::copy(frame.begin(), frame.end(), c.gprs.buf.begin());
            KeepAsReply(c.gprs);
            accepted = true;
        }
        return GprsReply();
    default:
        return {};
    }
}

void PanelSim::Corrupt(std::vector<uint8_t>& reply, uint8_t block, bool isEcho) const
{
    const bool isBlock1 = block == 1;
    if (isBlock1 && Has(Fault::WrongModel)) {
        reply[MainReplyOff::model] = kWrongModel;
        Seal(reply);
    }
    if (isEcho && (Has(Fault::BadEcho) || (block == 3 && Has(Fault::BadGprsEcho))) && reply.size() > 6) {
        reply[isBlock1 ? MainReplyOff::payload : kHeaderSize] ^= 0x01;
        Seal(reply);
    }
    if (Has(Fault::BadCrc))
        reply.back() ^= 0x5A;
    if (Has(Fault::ExtraByte))
        reply.push_back(0x00);
    if (Has(Fault::Flood)) {
        reply.assign(kFloodSize, 0);
        for (std::size_t i = 0; i < kFloodSize; ++i)
            reply[i] = uint8_t(i * 37 + 11);
    }
    if (Has(Fault::OneByte))
        reply.resize(1);
}

} // namespace vk410::sim
