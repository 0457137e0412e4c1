#pragma once
// Runs exchanges through PanelLink, the real serial component and its
// backend, for the tests against a simulated panel on a real port.
#include <algorithm>
#include <gtest/gtest.h>

#include "kit/LinkTestKit.h"
#include "link/PanelLink.h"

namespace vk410::test {

struct Outcome {
    std::vector<QString> texts;
    std::vector<int> codes;
    int value = -1;
    ExchangeResult result;
    int Final() const { return codes.empty() ? -1 : codes.back(); }
    bool Shown(const QString& t) const { return std::find(texts.begin(), texts.end(), t) != texts.end(); }
};

// One exchange on the port named by a port box text, to its final report,
// waiting for the port to close.
inline Outcome RunExchange(PanelLink& link, const QString& port, bool isWrite, const Configuration& cfg,
                           const GprsTexts& texts = {})
{
    Outcome o;
    if (!link.SetPortText(port) && link.CommPortDriver1().PortName() != port)
        ADD_FAILURE() << "port not taken";
    QObject ctx;
    QObject::connect(&link, &PanelLink::statusText, &ctx, [&o](const QString& t) { o.texts.push_back(t); });
    QObject::connect(&link, &PanelLink::exchangeReport, &ctx, [&o](int code, int value, const ExchangeResult& r) {
        o.codes.push_back(code);
        if (code == kReportReplyArriving) {
            o.texts.push_back(StatusText::ReplyArriving);
            return;
        }
        o.value = value;
        o.result = r;
    });
    if (!link.SendData(isWrite, cfg, texts)) {
        ADD_FAILURE() << "exchange not started";
        return o;
    }
    EXPECT_TRUE(WaitFor([&] { return !link.Busy(); }, 30000)) << "no final report";
    link.WaitFinished();
    EXPECT_FALSE(link.CommPortDriver1().IsOpen()) << "port left open";
    return o;
}


} // namespace vk410::test
