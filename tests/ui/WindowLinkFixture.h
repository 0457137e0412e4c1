#pragma once
// The main window against the simulated panel on a pty: the real serial
// component, the exchange thread and the window's reports, offscreen.
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>

#include "SimServer.h"
#include "WindowFixture.h"
#include "kit/SimPanels.h"
#include "link/PanelLink.h"
#include "link/WriteSession.h"
#include "model/CXMGSM.h"
#include "ui/FormGprs.h"

namespace vk410::test {

inline const QColor kGreen(0, 128, 0);
inline const QColor kRed(255, 0, 0);
inline const GprsTexts kPanelTexts = {"inet.example", "gprs", "pass1", "", "", ""};

inline sim::PanelConfig GprsPanel(uint8_t model)
{
    sim::PanelConfig p = GprsPanel(model, 12, 1234, kPanelTexts);
    p.cfg.main.at(MainOff::out) = 33;
    if (model == 1)
        p.cfg.main.at(MainOff::qnt) = 4;
    return p;
}

// What the window showed at each report and status text of the exchange.
struct Seen {
    std::vector<QString> texts;   // the status bar after each text
    std::vector<int> codes;       // final and code 2 reports
    QColor colourAtEnd;           // the status bar right after the final report
    bool blinking = false;
    bool exchangeControlsDisabled = true;
    // Nothing else may replace the configuration meanwhile; "Выход" stays.
    bool replacingCommandsDisabled = true;
    bool exitEnabled = true;
};

class WindowLink : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        gprs = new TfrmGPRS(window->Config().gprs, window.get());
        window->SetGprsDialog(gprs);
        ownColour = window->StatusBarColor();
        PanelLink& link = window->Link();
        // Connected after the window's own slots, so these see what they did.
        const auto text = [this](const QString&) {
            seen.texts.push_back(window->StatusText());
            NoteControls();
        };
        const auto report = [this](int code) {
            seen.codes.push_back(code);
            if (code == kReportReplyArriving) {
                seen.texts.push_back(window->StatusText());
                NoteControls();
                return;
            }
            seen.colourAtEnd = window->StatusBarColor();
            seen.blinking = IndTimer()->isActive();
        };
        QObject::connect(&link, &PanelLink::statusText, &context, text);
        QObject::connect(&link, &PanelLink::exchangeReport, &context,
                         [report](int code, int, const ExchangeResult&) { report(code); });
        // A write reports as a whole: its backup read and rollback are its own.
        WriteSession& writes = window->Writes();
        QObject::connect(&writes, &WriteSession::statusText, &context, text);
        QObject::connect(&writes, &WriteSession::replyArriving, &context, [report] { report(kReportReplyArriving); });
        QObject::connect(&writes, &WriteSession::finished, &context,
                         [report](const WriteOutcome& o) { report(o.code); });
        SetBackup(true); // the settings outlive a test run in one process
    }
    // "Читать прибор перед записью"
    void SetBackup(bool on)
    {
        QAction* backup = Action(QStringLiteral("mnuBackupBeforeWrite"));
        if (backup->isChecked() != on)
            backup->trigger();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        if (server)
            server->Stop();
    }

    void NoteControls()
    {
        seen.exchangeControlsDisabled = seen.exchangeControlsDisabled && !Button("ButtonRead")->isEnabled() &&
                                        !Button("ButtonWrite")->isEnabled() &&
                                        !PortBox()->isEnabled();
        seen.replacingCommandsDisabled = seen.replacingCommandsDisabled && !Combo("DeviceTypeList")->isEnabled() &&
                                         !Action("N4")->isEnabled() && !Action("mnuRecent1")->isEnabled() &&
                                         !Action("mnuCompareDevice")->isEnabled() &&
                                         !Action("mnuCompareFile")->isEnabled();
        seen.exitEnabled = seen.exitEnabled && Button("BtnClose")->isEnabled();
    }

    void StartPanel(const sim::PanelConfig& cfg, bool pacing = false)
    {
        server = std::make_unique<sim::SimServer>(cfg, pacing);
        std::string error;
        ASSERT_TRUE(server->Open("", error)) << error;
        server->Start();
        UsePort(QString::fromStdString(server->SlavePath()));
    }
    void UsePort(const QString& path)
    {
        PortBox()->setEditText(path);
        ASSERT_EQ(window->Link().CommPortDriver1().PortName(), path);
    }

    bool FinalReport() const
    {
        return std::any_of(seen.codes.begin(), seen.codes.end(),
                           [](int c) { return c != kReportReplyArriving; });
    }
    // Clicks the button and waits for the exchange's final report and its close.
    void Exchange(QPushButton* button)
    {
        ExchangeBy([button] { QTest::mouseClick(button, Qt::LeftButton); });
    }
    void ExchangeBy(const std::function<void()>& start)
    {
        seen = {};
        start();
        ASSERT_TRUE(WaitFor([this] { return FinalReport(); }, 30000)) << "no final report";
        window->Link().WaitFinished();
        EXPECT_FALSE(window->Link().CommPortDriver1().IsOpen());
    }
    void ExpectIdle() const
    {
        EXPECT_TRUE(Button("ButtonRead")->isEnabled());
        EXPECT_TRUE(Button("ButtonWrite")->isEnabled());
        EXPECT_TRUE(PortBox()->isEnabled());
    }
    // The blink ends on the bar's own colour.
    void ExpectBlinkOf(const QColor& colour)
    {
        EXPECT_EQ(seen.colourAtEnd, colour);
        EXPECT_TRUE(seen.blinking);
        EXPECT_TRUE(WaitFor([this] { return !IndTimer()->isActive(); }));
        EXPECT_EQ(window->StatusBarColor(), ownColour);
    }

    std::vector<uint8_t> MainPayload(const Configuration& c) const
    {
        return {c.main.payload(), c.main.payload() + PayloadLength(c.model)};
    }
    std::vector<uint8_t> GsmPayload(const Configuration& c) const
    {
        return {c.gsm.payload(), c.gsm.payload() + kGsmPayloadSize};
    }

    std::unique_ptr<sim::SimServer> server;
    TfrmGPRS* gprs = nullptr; // the window's child
    QObject context;
    QColor ownColour;
    Seen seen;
};

} // namespace vk410::test
