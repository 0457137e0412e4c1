// The page "Радиоканал": control period and the numbers of sends. Its tab is
// hidden for both models, but its controls still show and keep the radio bytes.
#include <QLabel>
#include <QLineEdit>

#include "FormUnit1.h"
#include "widgets/UpDown.h"

namespace vk410 {

namespace {

struct RadioRow {
    const char* caption; // two lines
    const char* edit;
    const char* spin;
    int maxLength;
    int min, max, start;
};

const RadioRow kRows[] = {
    {"Период контроля\nканала, сек", "RadioCheckBox", "RadioCheckSpin", 3, 30, 300, 45},
    {"Число посылок\nпо тревоге", "AlarmTxQuant", "AlarmTxQuantSpin", 2, 1, 15, 8},
    {"Число посылок\nпо изменению", "ChangeTxQuant", "ChangeTxQuantSpin", 2, 1, 15, 5},
};

} // namespace

QWidget* TForm1::BuildRadioPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("PageRadio"));
    QLineEdit* edits[3]{};
    TUpDown* spins[3]{};
    for (int i = 0; i < 3; ++i) {
        const RadioRow& row = kRows[i];
        const int y = 16 + 52 * i;
        auto* caption = new QLabel(QString::fromUtf8(row.caption), page);
        caption->setGeometry(8, y, 140, 36);
        auto* edit = new QLineEdit(QString::number(row.start), page);
        edit->setObjectName(QString::fromLatin1(row.edit));
        edit->setMaxLength(row.maxLength);
        edit->setGeometry(150, y + 6, 44, 22);
        auto* spin = new TUpDown(page);
        spin->setObjectName(QString::fromLatin1(row.spin));
        spin->setGeometry(194, y + 6, 16, 22);
        spin->SetRange(row.min, row.max);
        spin->SetArrowKeys(false);
        spin->SetAssociate(edit);
        spin->SetPosition(row.start);
        edits[i] = edit;
        spins[i] = spin;
    }
    RadioCheckBox = edits[0];
    AlarmTxQuant = edits[1];
    ChangeTxQuant = edits[2];
    RadioCheckSpin = spins[0];
    AlarmTxQuantSpin = spins[1];
    ChangeTxQuantSpin = spins[2];
    return page;
}

void TForm1::ConnectRadioPage()
{
    connect(RadioCheckBox, &QLineEdit::textChanged, this, &TForm1::RadioCheckBoxChange);
    connect(AlarmTxQuant, &QLineEdit::textChanged, this, &TForm1::AlarmTxQuantChange);
    connect(ChangeTxQuant, &QLineEdit::textChanged, this, &TForm1::ChangeTxQuantChange);
    InstallFocusOutHandler(RadioCheckBox, &TForm1::RadioCheckBoxExit);
}

void TForm1::RadioCheckBoxChange()
{
    SetControlTime(cfg_.main, unsigned(CheckEditMinMax(RadioCheckBox, 0, 300, 45)));
}

void TForm1::RadioCheckBoxExit()
{
    // Short periods may be typed on the way to a longer one, but not kept.
    bool ok = false;
    const int value = RadioCheckBox->text().toInt(&ok);
    if (ok && value < 30) {
        RadioCheckBox->setText(QStringLiteral("30"));
        RadioCheckBoxChange();
    }
}

void TForm1::AlarmTxQuantChange()
{
    cfg_.main.at(MainOff::alarmsends) = uint8_t(CheckEditMinMax(AlarmTxQuant, 1, 15, 8));
}

void TForm1::ChangeTxQuantChange()
{
    cfg_.main.at(MainOff::restoresends) = uint8_t(CheckEditMinMax(ChangeTxQuant, 1, 15, 5));
}

} // namespace vk410
