#pragma once
// Helpers shared by the link and end-to-end tests.
#include <string>
#include <vector>

#include "kit/Wait.h"
#include "link/ThreadBuff.h"

namespace vk410::test {

// Records what an exchange reports, in order.
struct Recorder : ExchangeReporter {
    std::vector<QString> texts;   // status texts, ReplyArriving for code 2
    std::vector<int> codes;       // every report code
    std::vector<int> values;
    ExchangeResult last;          // the result of the last final report

    void Status(const QString& text) override { texts.push_back(text); }
    void Report(int code, int value, const ExchangeResult& result) override
    {
        codes.push_back(code);
        values.push_back(value);
        if (code == kReportReplyArriving) {
            texts.push_back(StatusText::ReplyArriving);
            return;
        }
        last = result;
    }
    int Final() const { return codes.empty() ? -1 : codes.back(); }
};

inline std::vector<uint8_t> Bytes(const uint8_t* p, std::size_t n) { return {p, p + n}; }
inline std::vector<uint8_t> Payload(const TMainBlock& b, uint8_t m) { return Bytes(b.payload(), PayloadLength(m)); }
inline std::vector<uint8_t> Payload(const TGsmBlock& b) { return Bytes(b.payload(), kGsmPayloadSize); }
inline std::vector<uint8_t> Frame(const TGprsBlock& b) { return Bytes(b.buf.data(), b.frameLength()); }

// The window's configuration at start-up, as an exchange starts from.
inline Configuration Blank(uint8_t model) { return StartupConfiguration(model); }

} // namespace vk410::test
