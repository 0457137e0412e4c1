#include <gtest/gtest.h>

#include "model/Document.h"

using namespace vk410;

namespace {

DocumentContent Startup() { return {StartupConfiguration(), {}}; }

DocumentContent WithExitDelay(uint8_t seconds, DocumentContent c = Startup())
{
    c.cfg.main.at(MainOff::out) = seconds;
    return c;
}

uint8_t ExitDelay(const Document& doc) { return doc.Content().cfg.main.at(MainOff::out); }

TEST(Document, ChangedMeansDifferentFromWhatCameNotTouched)
{
    Document doc(Startup());
    const struct {
        const char* what;
        void (*change)(DocumentContent&);
        bool modified;
    } cases[] = {
        {"exit delay", [](DocumentContent& c) { c.cfg.main.at(MainOff::out) = 44; }, true},
        {"model", [](DocumentContent& c) { c.cfg.model = 1; }, true},
        {"GSM payload", [](DocumentContent& c) { c.cfg.gsm.at(GsmOff::TXE) ^= 1; }, true},
        {"GPRS text", [](DocumentContent& c) { c.texts.apn2 = "apn"; }, true},
        {"frame header and check byte", [](DocumentContent& c) { c.cfg.main.buf[1] = 0x22, c.cfg.main.buf[200] = 9; },
         false},
        {"block 3, built from the texts", [](DocumentContent& c) { c.cfg.gprs.buf[5] = 1; }, false},
        {"model 0 leaves byte 27 unused", [](DocumentContent& c) { c.cfg.main.at(MainOff::qnt) = 3; }, false},
    };
    for (const auto& c : cases) {
        DocumentContent changed = Startup();
        c.change(changed);
        EXPECT_EQ(doc.Edit(changed), c.modified) << c.what;
        EXPECT_EQ(doc.Modified(), c.modified) << c.what;
        doc.Edit(Startup());
        EXPECT_FALSE(doc.Modified()) << c.what << ": changed back by hand";
    }
}

TEST(Document, UndoAndRedoGiveBackEachStepExactly)
{
    Document doc(Startup());
    doc.Edit(WithExitDelay(20));
    DocumentContent file = WithExitDelay(33);
    file.cfg.model = 1;
    doc.Arrive(file, {OriginKind::File, "/a.cf8", false});
    doc.SwitchModel(Startup());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.Content().cfg.main.buf, file.cfg.main.buf);
    EXPECT_EQ(doc.Content().cfg.model, 1);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(ExitDelay(doc), 20);
    EXPECT_EQ(doc.Origin().kind, OriginKind::Startup) << "the file's arrival is undone with it";
    EXPECT_TRUE(doc.Modified());
    ASSERT_TRUE(doc.Undo());
    EXPECT_FALSE(doc.Undo());
    EXPECT_EQ(doc.Content().cfg.main.buf, Startup().cfg.main.buf);

    ASSERT_TRUE(doc.Redo());
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(doc.SaveTarget(), "/a.cf8");
    EXPECT_FALSE(doc.Modified());
    // A new step drops what could have been redone.
    doc.Edit(WithExitDelay(40, file));
    EXPECT_FALSE(doc.CanRedo());
}

TEST(Document, TypingIntoOneEditIsOneStepAndTakenBackIsNone)
{
    Document doc(Startup());
    doc.Edit(WithExitDelay(1), 7);
    doc.Edit(WithExitDelay(12), 7);
    doc.Edit(WithExitDelay(3), 8); // another edit
    doc.Undo();
    EXPECT_EQ(ExitDelay(doc), 12);
    doc.Undo();
    EXPECT_EQ(ExitDelay(doc), 15);
    EXPECT_FALSE(doc.CanUndo());

    Document back(Startup());
    back.Edit(WithExitDelay(1), 7);
    back.Edit(WithExitDelay(15), 7);
    EXPECT_FALSE(back.CanUndo());
    // After an undo the group starts a step of its own.
    Document after(Startup());
    after.Edit(WithExitDelay(1), 7);
    after.Undo();
    after.Redo();
    after.Edit(WithExitDelay(2), 7);
    after.Undo();
    EXPECT_EQ(ExitDelay(after), 1);
}

TEST(Document, KeepsTheNewestStepsBeyondAHundred)
{
    Document doc(Startup());
    for (int n = 1; n <= 250; ++n)
        doc.Edit(WithExitDelay(uint8_t(n)));
    int undone = 0;
    while (doc.Undo())
        ++undone;
    EXPECT_EQ(undone, int(kUndoSteps));
    EXPECT_GE(kUndoSteps, 100u);
    EXPECT_EQ(ExitDelay(doc), 250 - kUndoSteps);
}

TEST(Document, SaveGoesToTheFileTheContentCameFromOrWasSavedTo)
{
    const DocumentContent read = WithExitDelay(50);
    const struct {
        DocumentOrigin origin;
        std::string target;
    } cases[] = {
        {{OriginKind::Startup, "", false}, ""},
        {{OriginKind::PanelRead, "", false}, ""},
        {{OriginKind::JournalEntry, "/journal/e.cf8", false}, ""},
        {{OriginKind::File, "/a.cf8", false}, "/a.cf8"},
    };
    for (const auto& c : cases) {
        Document doc(Startup());
        doc.Arrive(read, c.origin);
        EXPECT_EQ(doc.SaveTarget(), c.target);
        doc.Edit(WithExitDelay(51));
        doc.Saved("/b.cf8");
        EXPECT_EQ(doc.SaveTarget(), "/b.cf8");
        EXPECT_FALSE(doc.Modified());
    }
}

TEST(Document, AStepUndoneAfterASaveComparesWithWhatTheFileNowHolds)
{
    Document doc(Startup());
    doc.Arrive(WithExitDelay(30), {OriginKind::File, "/a.cf8", false});
    doc.Edit(WithExitDelay(31));
    doc.Saved("/a.cf8");
    doc.Undo();
    EXPECT_TRUE(doc.Modified()) << "a.cf8 holds 31 now";
    EXPECT_EQ(doc.SaveTarget(), "/a.cf8");
    doc.Redo();
    EXPECT_FALSE(doc.Modified());
}

TEST(Document, RadioBytesAreAPanelsOnlyAfterARead)
{
    Document doc(Startup());
    EXPECT_FALSE(doc.RadioFromPanel());
    doc.Arrive(WithExitDelay(9), {OriginKind::PanelRead, "", false}, true, 12);
    doc.Edit(WithExitDelay(10));
    EXPECT_TRUE(doc.RadioFromPanel());
    EXPECT_EQ(doc.PanelVersion(), 12);
    doc.SwitchModel(Startup());
    EXPECT_FALSE(doc.RadioFromPanel());
    EXPECT_EQ(doc.PanelVersion(), -1);
    doc.Undo();
    EXPECT_TRUE(doc.RadioFromPanel());
    doc.Arrive(Startup(), {OriginKind::File, "/a.cf8", false});
    EXPECT_FALSE(doc.RadioFromPanel());
}

TEST(Document, ARestoredCopyKeepsItsChanges)
{
    Document doc(Startup());
    doc.Arrive(WithExitDelay(30), {OriginKind::File, "/a.cf8", false});
    doc.Edit(WithExitDelay(31));
    const DocumentCopy copy = doc.Copy();

    Document next(Startup());
    next.Restore(copy);
    EXPECT_TRUE(next.Modified());
    EXPECT_EQ(ExitDelay(next), 31);
    EXPECT_EQ(next.SaveTarget(), "/a.cf8");
    next.Undo();
    EXPECT_EQ(next.Content().cfg.main.buf, Startup().cfg.main.buf);
}

} // namespace
