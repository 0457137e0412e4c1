// Showing the blocks in the controls. The controls' own rules run while the
// refresh sets them, so values out of a control's range come back normalised.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include "model/BitOps.h"
#include "model/Errors.h"
#include "model/Loops.h"
#include "FormUnit1.h"
#include "GsmPage.h"
#include "widgets/UpDown.h"

namespace vk410 {

namespace {

void ThrowUnlessKnown(uint8_t model)
{
    if (model > 1)
        throw Error(kDeviceNotFound);
}

} // namespace

void TForm1::RefreshControls()
{
    ThrowUnlessKnown(cfg_.model);
    RefreshSpins();
    for (int n = 1; n <= kLoopCount; ++n)
        SetShlfTypeBox(n, LoopType(n));
    for (int n = 1; n <= kLoopCount; ++n)
        ShlfEvent[size_t(n - 1)]->setCurrentIndex(EventRowByCode(cfg_.main.at(MainOff::cid(n))) - 1);
    const uint8_t mask = cfg_.main.at(MainOff::mask);
    for (int n = 1; n <= kLoopCount; ++n) {
        const QSignalBlocker detached(ExpBox[size_t(n - 1)]);
        ExpBox[size_t(n - 1)]->setChecked(TestBit(mask, 8 - n));
    }
    RefreshKeypad();
    RefreshDependence();
    RefreshEventByType();
    gsmPage_->RefreshFromBlocks();
    if (cfg_.model == 1)
        RefreshMeridian();
}

void TForm1::RefreshSpins()
{
    RadioCheckSpin->SetPosition(ControlTime(cfg_.main));
    AlarmTxQuantSpin->SetPosition(cfg_.main.at(MainOff::alarmsends));
    ChangeTxQuantSpin->SetPosition(cfg_.main.at(MainOff::restoresends));
    ctrDelayIn->SetPosition(cfg_.main.at(MainOff::in));
    ctrDelayOut->SetPosition(cfg_.main.at(MainOff::out));
    // The edits' rules run on a changed text only; run them once more so that
    // the block holds what the spins show even when the text stayed the same.
    RadioCheckBoxChange();
    AlarmTxQuantChange();
    ChangeTxQuantChange();
    fldDelayInChange();
    fldDelayOutChange();
}

void TForm1::RefreshKeypad()
{
    bxKeyBeep->setCurrentIndex(cfg_.main.at(MainOff::KeyBeep) != 0 ? 0 : 1);
    const uint8_t mode = cfg_.main.at(MainOff::BLMode);
    if (mode <= 2)
        bxKeyBLMode->setCurrentIndex(mode);
    const uint8_t level = cfg_.main.at(MainOff::BLLevel);
    if (level <= 9)
        udKeyBLLevel->SetPosition(level);
}

void TForm1::RefreshMeridian()
{
    const uint8_t count = cfg_.main.at(MainOff::qnt);
    if (count != 0) {
        {
            const QSignalBlocker detached(chkMRD);
            chkMRD->setChecked(true);
        }
        edtMRD->setText(QString::number(count));
        edtMRD->setEnabled(true);
    } else {
        {
            const QSignalBlocker detached(chkMRD);
            chkMRD->setChecked(false);
        }
        chkMRDClick();
    }
}

void TForm1::RefreshDependence()
{
    ThrowUnlessKnown(cfg_.model);
    bool door = false;
    for (int n = 1; n <= kLoopCount; ++n) {
        QCheckBox* fire = CheckBoxFire[size_t(n - 1)];
        if ((LoopType(n) & kLoopTypeMask) == ltFire) {
            fire->setEnabled(true);
            if (TestBit(LoopType(n), kPowerResetBit))
                fire->setChecked(true);
        } else {
            fire->setEnabled(false);
            fire->setChecked(false);
        }
        door = door || LoopType(n) == ltDoor;
    }
    fldDelayIn->setEnabled(door);
    QPalette pal = fldDelayIn->palette();
    pal.setColor(QPalette::Base, door ? palette().color(QPalette::Base)
                                      : palette().color(QPalette::Window).darker(108));
    fldDelayIn->setPalette(pal);
}

void TForm1::RefreshEventByType()
{
    for (int n = 1; n <= kLoopCount; ++n)
        ShlfEvent[size_t(n - 1)]->setEnabled(FShlfType[size_t(n - 1)]->currentIndex() != ltOff);
}

} // namespace vk410
