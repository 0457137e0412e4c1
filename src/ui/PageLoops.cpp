// The page "Шлейфы": the eight loops, the delays and the Meridian bus.
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include "model/BitOps.h"
#include "model/Errors.h"
#include "model/Loops.h"
#include "FormUnit1.h"
#include "Icons.h"
#include "widgets/EventHook.h"
#include "widgets/UpDown.h"

namespace vk410 {

namespace {

constexpr int kRowTop = 40;
constexpr int kRowStep = 32;

QLabel* Caption(const QString& text, QWidget* parent, int x, int y, int w = 120)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, w, 18);
    return label;
}

QLineEdit* NumberEdit(const QString& name, const QString& text, QWidget* parent, QRect where)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setGeometry(where);
    return edit;
}

} // namespace

QWidget* TForm1::BuildLoopsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("PageShlf"));
    Caption(QStringLiteral("Зона"), page, 44, 8, 40);
    Caption(QStringLiteral("Тип шлейфа"), page, 80, 8, 160);
    Caption(QStringLiteral("Код события"), page, 250, 8, 180);
    Caption(QStringLiteral("Сброс"), page, 452, 2, 60);
    Caption(QStringLiteral("питания"), page, 448, 18, 60);
    for (int n = 1; n <= kLoopCount; ++n) {
        const int y = kRowTop + kRowStep * (n - 1);
        auto* label = Caption(QStringLiteral("ШС%1:").arg(n), page, 8, y + 3, 36);
        label->setObjectName(QStringLiteral("LabelShlf%1").arg(n));
        auto* zone = Caption(QStringLiteral("0%1").arg(n), page, 48, y + 3, 24);
        zone->setObjectName(QStringLiteral("ZonaLabel%1").arg(n));
        auto* type = new QComboBox(page);
        type->setObjectName(QStringLiteral("FShlfType%1").arg(n));
        type->setGeometry(80, y, 160, 24);
        type->setMaxVisibleItems(n == 1 || n == kLoopCount ? 15 : 10);
        auto* event = new QComboBox(page);
        event->setObjectName(QStringLiteral("ShlfEvent%1").arg(n));
        event->setGeometry(250, y, 190, 24);
        auto* fire = new QCheckBox(page);
        fire->setObjectName(QStringLiteral("CheckBoxFire%1").arg(n));
        fire->setGeometry(466, y + 2, 20, 20);
        FShlfType[size_t(n - 1)] = type;
        ShlfEvent[size_t(n - 1)] = event;
        CheckBoxFire[size_t(n - 1)] = fire;
    }
    const int delayTop = kRowTop + kRowStep * kLoopCount + 8;
    Caption(QStringLiteral("Задержка, сек"), page, 8, delayTop, 120);
    // A delay's caption, edit and arrows in the row at y.
    const auto delayRow = [page](const QString& caption, const QString& name, const QString& spinName, int y,
                                 QLineEdit*& edit, TUpDown*& spin) {
        Caption(caption, page, 8, y + 2, 50);
        edit = NumberEdit(name, QStringLiteral("30"), page, QRect(60, y, 40, 22));
        spin = new TUpDown(page);
        spin->setObjectName(spinName);
        spin->setGeometry(100, y, 16, 22);
        spin->SetRange(0, 99);
        spin->SetAssociate(edit);
    };
    delayRow(QStringLiteral("Вход"), QStringLiteral("fldDelayIn"), QStringLiteral("ctrDelayIn"), delayTop + 26,
             fldDelayIn, ctrDelayIn);
    delayRow(QStringLiteral("Выход"), QStringLiteral("fldDelayOut"), QStringLiteral("ctrDelayOut"), delayTop + 56,
             fldDelayOut, ctrDelayOut);

    chkMRD = new QCheckBox(QStringLiteral("Включить шину Меридиан"), page);
    chkMRD->setObjectName(QStringLiteral("chkMRD"));
    chkMRD->setGeometry(250, delayTop + 26, 250, 22);
    lblMRD = Caption(QStringLiteral("Количество датчиков"), page, 250, delayTop + 58, 150);
    lblMRD->setObjectName(QStringLiteral("lblMRD"));
    edtMRD = NumberEdit(QStringLiteral("edtMRD"), QStringLiteral("0"), page,
                        QRect(404, delayTop + 56, 40, 22));
    return page;
}

void TForm1::ConnectLoopsPage()
{
    for (size_t i = 0; i < size_t(kLoopCount); ++i) {
        QComboBox* type = FShlfType[i];
        QComboBox* event = ShlfEvent[i];
        QCheckBox* fire = CheckBoxFire[i];
        connect(type, &QComboBox::activated, this, [this, type] { TypeChange(type); });
        connect(event, &QComboBox::activated, this, [this, event] { ExpEventChange(event); });
        connect(fire, &QCheckBox::toggled, this, [this, fire] { ExpFireResetChange(fire); });
    }
    connect(fldDelayIn, &QLineEdit::textChanged, this, &TForm1::fldDelayInChange);
    connect(fldDelayOut, &QLineEdit::textChanged, this, &TForm1::fldDelayOutChange);
    connect(chkMRD, &QCheckBox::toggled, this, &TForm1::chkMRDClick);
    InstallMrdInputFilter();
    InstallFocusOutHandler(edtMRD, &TForm1::edtMRDExit);
}

void TForm1::TypeBoxItemsSet(QComboBox* box)
{
    box->clear();
    const auto types = GetLoopTypeList();
    for (size_t t = 0; t < types.size(); ++t)
        box->addItem(ImageListIcon(int(t)), QString::fromStdString(types[t]));
}

void TForm1::SetShlfTypeBox(int loop, uint8_t typeByte)
{
    if (loop < 1 || loop > kLoopCount)
        return;
    FShlfType[size_t(loop - 1)]->setCurrentIndex(typeByte & kLoopTypeMask);
    CheckBoxFire[size_t(loop - 1)]->setChecked(TestBit(typeByte, kPowerResetBit));
}

void TForm1::TypeChange(QComboBox* box)
{
    const int n = LoopNumberFromName(box->objectName(), 9);
    const int t = LoopTypeIndex(box->currentText().toStdString());
    if (n == 0 || t < 0)
        return;
    QComboBox* event = ShlfEvent[size_t(n - 1)];
    if (t == ltOff) {
        event->setEnabled(false);
    } else {
        event->setEnabled(true);
        event->setCurrentIndex(DefaultEventRow(t) - 1);
        ExpEventChange(event);
    }
    LoopType(n) = t == ltFire ? SetBit(uint8_t(t), kPowerResetBit) : uint8_t(t);
    RefreshDependence();
}

void TForm1::ExpEventChange(QComboBox* box)
{
    const int n = LoopNumberFromName(box->objectName(), 9);
    const int index = box->currentIndex();
    if (n == 0 || index < 0)
        return;
    cfg_.main.at(MainOff::cid(n)) = EventCodeByRow(index + 1);
}

void TForm1::ExpFireResetChange(QCheckBox* box)
{
    const int n = LoopNumberFromName(box->objectName(), 12);
    if (n == 0)
        return;
    LoopType(n) = box->isChecked() ? SetBit(LoopType(n), kPowerResetBit)
                                   : ClearBit(LoopType(n), kPowerResetBit);
}

void TForm1::fldDelayInChange()
{
    cfg_.main.at(MainOff::in) = uint8_t(CheckEditMinMax(fldDelayIn, 0, 99, 30));
}

void TForm1::fldDelayOutChange()
{
    cfg_.main.at(MainOff::out) = uint8_t(CheckEditMinMax(fldDelayOut, 0, 99, 15));
}

void TForm1::chkMRDClick()
{
    const bool on = chkMRD->isChecked();
    cfg_.main.at(MainOff::qnt) = on ? 1 : 0;
    edtMRD->setText(on ? QStringLiteral("1") : QStringLiteral("0"));
    edtMRD->setEnabled(on);
}

void TForm1::InstallMrdInputFilter()
{
    filters_.push_back(new EventHook(edtMRD, [this](QEvent* event) {
        if (event->type() == QEvent::KeyPress) {
            // Only digits reach the edit as typed characters; keys without a
            // character (Delete, arrows) and focus keys keep working.
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Delete)
                return false;
            const QString text = key->text();
            if (text.isEmpty())
                return false;
            return !(text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9'));
        }
        if (event->type() == QEvent::MouseButtonPress && edtMRD->isEnabled()) {
            edtMRD->setFocus(Qt::MouseFocusReason);
            edtMRD->selectAll();
            return true;
        }
        return false;
    }));
}

void TForm1::edtMRDExit()
{
    if (cfg_.model != 1)
        return;
    const QString text = edtMRD->text();
    bool allDigits = !text.isEmpty();
    for (QChar c : text)
        allDigits = allDigits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!allDigits)
        throw ConversionError(text.toStdString());
    // Any run of digits is a count; one above 99 is 99.
    QString digits = text;
    while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
        digits.remove(0, 1);
    const int value = digits.size() > 2 ? 100 : digits.toInt();
    if (value > 99)
        edtMRD->setText(QStringLiteral("99"));
    cfg_.main.at(MainOff::qnt) = uint8_t(value > 99 ? 99 : value);
}

} // namespace vk410
