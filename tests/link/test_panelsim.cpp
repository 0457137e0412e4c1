// The simulated panel's protocol: frame recognition, answers and faults.
#include <gtest/gtest.h>

#include "kit/LinkTestKit.h"
#include "PanelSim.h"
#include "model/BCC.h"

using namespace vk410;
using namespace vk410::sim;
using vk410::test::Bytes;

namespace {

std::vector<uint8_t> Request(uint8_t block)
{
    uint8_t req[kReqSize];
    BuildReadRequest(req, block);
    return Bytes(req, kReqSize);
}

bool Intact(const std::vector<uint8_t>& f)
{
    return f.size() >= 5 && f[1] == f.size() && CalcBCC(f.data(), int(f.size() - 1)) == f.back();
}

} // namespace

TEST(FrameReader, FindsFramesInNoiseAndAcrossPieces)
{
    FrameReader r;
    const auto req = Request(1);
    std::vector<uint8_t> stream = {0x00, 0x7E, 0x02, 0x7E}; // noise, a too-short length
    stream.insert(stream.end(), req.begin(), req.end());
    auto bad = Request(2);
    bad.back() ^= 1;
    stream.insert(stream.end(), bad.begin(), bad.end());
    const auto good = Request(3);
    stream.insert(stream.end(), good.begin(), good.begin() + 4);
    auto frames = r.Feed(stream.data(), stream.size(), 0);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], req);
    frames = r.Feed(good.data() + 4, good.size() - 4, 100);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], good);
}

TEST(FrameReader, StaleHalfFrameIsDroppedAndFloodsAreBounded)
{
    FrameReader r;
    const auto req = Request(1);
    EXPECT_TRUE(r.Feed(req.data(), 5, 0).empty());
    // The rest comes much later: it belongs to nothing.
    EXPECT_TRUE(r.Feed(req.data() + 5, 5, 5000).empty());
    std::vector<uint8_t> flood(100000, 0x7E);
    EXPECT_TRUE(r.Feed(flood.data(), flood.size(), 5001).empty());
    std::vector<uint8_t> next = {0x00, 0x00};
    next.insert(next.end(), req.begin(), req.end());
    // 0x7E 0x7E ... never forms a frame; a clean request after a pause does.
    EXPECT_EQ(r.Feed(next.data(), next.size(), 9000).size(), 1u);
}

TEST(PanelSim, AnswersReadsAsThePanel)
{
    PanelConfig p = DefaultPanel(1, true);
    p.version = 9;
    PanelSim sim(p);
    bool accepted = true;
    const auto main = sim.Answer(Request(1), accepted);
    EXPECT_FALSE(accepted);
    ASSERT_EQ(main.size(), 34u);
    EXPECT_TRUE(Intact(main));
    EXPECT_EQ(main[2], kCmdData);
    EXPECT_EQ(main[3], 1);
    EXPECT_EQ(main[4], 9);
    EXPECT_EQ(main[31], 1); // the CXM flag
    const auto gsm = sim.Answer(Request(2), accepted);
    ASSERT_EQ(gsm.size(), kGsmFrameSize);
    EXPECT_TRUE(Intact(gsm));
    const auto gprs = sim.Answer(Request(3), accepted);
    EXPECT_EQ(gprs, (std::vector<uint8_t>{0x7E, 5, 0x44, 3, CalcBCC(gprs.data(), 4)}));
    // Without a module, blocks 2 and 3 get no answer.
    PanelSim bare(DefaultPanel(0, false));
    EXPECT_TRUE(bare.Answer(Request(2), accepted).empty());
    EXPECT_TRUE(bare.Answer(Request(3), accepted).empty());
}

TEST(PanelSim, WriteOfAnotherModelLeavesThePanelAsItIs)
{
    PanelSim sim(DefaultPanel(1, false));
    const auto before = sim.MainReply();
    TMainBlock block;
    LoadDefaults(block, 0);
    block.at(MainOff::in) = 77;
    const std::size_t n = StampMainWrite(block, 0);
    bool accepted = true;
    const auto echo = sim.Answer(Bytes(block.buf.data(), n), accepted);
    EXPECT_FALSE(accepted);
    EXPECT_EQ(echo, before);
    block.buf = {};
    LoadDefaults(block, 1);
    block.at(MainOff::in) = 77;
    const std::size_t n1 = StampMainWrite(block, 1);
    EXPECT_EQ(sim.Answer(Bytes(block.buf.data(), n1), accepted)[5 + MainOff::in], 77);
    EXPECT_TRUE(accepted);
}

struct FaultShape {
    const char* name;
    Fault fault;
    std::function<bool(const std::vector<uint8_t>& clean, const std::vector<uint8_t>& faulty)> holds;
};

TEST(PanelSim, FaultsShapeTheReplies)
{
    const FaultShape shapes[] = {
        {"bad-crc", Fault::BadCrc,
         [](auto& c, auto& f) { return f.size() == c.size() && !Intact(f) && f[1] == c[1]; }},
        {"extra-byte", Fault::ExtraByte,
         [](auto& c, auto& f) { return f.size() == c.size() + 1 && std::equal(c.begin(), c.end(), f.begin()); }},
        {"flood", Fault::Flood, [](auto&, auto& f) { return f.size() == 300; }},
        {"one-byte", Fault::OneByte, [](auto& c, auto& f) { return f.size() == 1 && f[0] == c[0]; }},
        {"wrong-model", Fault::WrongModel, [](auto& c, auto& f) { return Intact(f) && f[3] == 5 && f.size() == c.size(); }},
        {"silent", Fault::Silent, [](auto&, auto& f) { return f.empty(); }},
    };
    for (const auto& s : shapes) {
        PanelConfig p = DefaultPanel(0, true);
        bool accepted;
        const auto clean = PanelSim(p).Answer(Request(1), accepted);
        p.faults = {s.fault};
        const auto faulty = PanelSim(p).Answer(Request(1), accepted);
        EXPECT_TRUE(s.holds(clean, faulty)) << s.name;
        Fault parsed;
        EXPECT_TRUE(ParseFault(s.name, parsed) && parsed == s.fault) << s.name;
    }
    Fault f;
    EXPECT_FALSE(ParseFault("crc", f));
}

