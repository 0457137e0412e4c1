// Any received bytes and count through the acceptance of frames, the copies
// the exchange makes of a reply, the block-3 decoding, the page's readings
// of out-of-range bytes, and the record's words and diagnosis of such a reply. Input: count (2 bytes, little-endian), a model code,
// then the receive buffer (zero behind what is given). The seeds in frames/
// are the simulated panel's replies to the tests' reads, in that form.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "link/Diagnosis.h"
#include "link/Frames.h"
#include "model/CXMGSM.h"
#include "model/Gprs.h"

using namespace vk410;

namespace {

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::size_t count = std::size_t(data[0]) | std::size_t(data[1]) << 8;
    const unsigned model = data[2];
    uint8_t rx[kRxBufSize] = {};
    std::memcpy(rx, data + 3, std::min(size - 3, kRxBufSize));

    if (FrameComplete(rx, count))
        Check(rx[1] == count && count >= 1 && count <= kRxBufSize);
    Check(MainReadReplyOk(rx) == (MainReplyModel(rx) != 255 && IsDataReply(rx)));

    // A block-1 reply taken is its own echo.
    TMainBlock main;
    const uint8_t taken = CopyMainReply(main, rx);
    Check(taken == (MainReadReplyOk(rx) ? rx[3] : 255));
    if (taken != 255)
        Check(MainWriteEchoOk(rx, main, taken) && !MainWriteEchoOk(rx, main, taken ^ 1u));
    (void)MainEchoModelOk(rx, model);
    (void)MainWriteEchoOk(rx, main, model);

    // Blocks 2 and 3 as a read copies them; each is then its own echo.
    TGsmBlock gsm;
    std::copy_n(rx, kGsmFrameSize, gsm.buf.begin());
    Check(GsmWriteEchoOk(rx, gsm) == GsmReadReplyOk(rx));
    TGprsBlock gprs;
    std::copy_n(rx, std::min<std::size_t>(rx[1], kFrameBufSize), gprs.buf.begin());
    if (GprsReadReplyHasBody(rx) && rx[1] <= kFrameBufSize)
        Check(GprsWriteEchoOk(rx, gprs));

    GprsTexts texts;
    if (LoadGprsTexts(gprs, texts))
        for (const std::string* t : {&texts.apn1, &texts.user1, &texts.pass1, &texts.apn2, &texts.user2, &texts.pass2})
            Check(t->size() <= kGprsTextMax && t->find('\0') == std::string::npos);

    for (int n = 1; n <= kDestinationCount; ++n) {
        Check(DestinationTries(gsm, n) <= 5 && DestinationSim(gsm, n) <= 2 && DestinationProtocol(gsm, n) <= 3);
        (void)DestinationAddressText(gsm, n);
    }
    for (int m = 1; m <= kSmsCount; ++m)
        (void)SmsPhoneText(gsm, m);

    // The reply as a record holds it under every rule, and as an echo of a
    // block-write frame made of the same bytes.
    std::vector<RecordEntry> record;
    for (int rule = 0; rule <= int(Rule::NoGprsBody); ++rule) {
        RecordEntry e;
        e.event = RecordEvent::Verdict;
        e.block = uint8_t(1 + model % 3);
        e.rule = Rule(rule);
        e.count = count;
        e.bytes.assign(rx, rx + std::min(count, kRxBufSize));
        e.expected = uint8_t(model);
        if (e.rule == Rule::EchoDiffers) {
            e.sent.assign(rx, rx + std::min<std::size_t>(rx[1], kRxBufSize));
            e.index = int(model) - 1;
            e.got = rx[0];
        }
        (void)LineOf(e);
        record.push_back(e);
        Check(Diagnose(record, true).cause != Cause::None);
    }
    return 0;
}
