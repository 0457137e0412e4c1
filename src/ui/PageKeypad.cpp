// The page "Клавиатура": backlight mode and level, key sound.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "FormUnit1.h"
#include "widgets/UpDown.h"

namespace vk410 {

QWidget* TForm1::BuildKeypadPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("PageKey"));
    auto* mode = new QLabel(QStringLiteral("Подсветка"), page);
    mode->setGeometry(8, 18, 140, 18);
    bxKeyBLMode = new QComboBox(page);
    bxKeyBLMode->setObjectName(QStringLiteral("bxKeyBLMode"));
    bxKeyBLMode->addItems({QStringLiteral("Выключена"), QStringLiteral("Авто"), QStringLiteral("Включена")});
    bxKeyBLMode->setCurrentIndex(1);
    bxKeyBLMode->setGeometry(150, 14, 130, 24);

    auto* level = new QLabel(QStringLiteral("яркость"), page);
    level->setGeometry(8, 52, 140, 18);
    fldKeyBright = new QLineEdit(QStringLiteral("9"), page);
    fldKeyBright->setObjectName(QStringLiteral("fldKeyBright"));
    fldKeyBright->setReadOnly(true);
    fldKeyBright->setGeometry(150, 48, 40, 22);
    udKeyBLLevel = new TUpDown(page);
    udKeyBLLevel->setObjectName(QStringLiteral("udKeyBLLevel"));
    udKeyBLLevel->setGeometry(190, 48, 16, 22);
    udKeyBLLevel->SetRange(1, 9);
    udKeyBLLevel->SetAssociate(fldKeyBright);
    udKeyBLLevel->SetPosition(9);

    auto* beep = new QLabel(QStringLiteral("Звук при нажатии"), page);
    beep->setGeometry(8, 86, 140, 18);
    bxKeyBeep = new QComboBox(page);
    bxKeyBeep->setObjectName(QStringLiteral("bxKeyBeep"));
    bxKeyBeep->addItems({QStringLiteral("Включён"), QStringLiteral("Выключен")});
    bxKeyBeep->setCurrentIndex(0);
    bxKeyBeep->setGeometry(150, 82, 130, 24);
    return page;
}

void TForm1::ConnectKeypadPage()
{
    connect(bxKeyBLMode, &QComboBox::activated, this, &TForm1::bxKeyBLModeChange);
    connect(bxKeyBeep, &QComboBox::activated, this, &TForm1::bxKeyBeepChange);
    connect(udKeyBLLevel, &TUpDown::Stepped, this, &TForm1::udKeyBLLevelChanging);
}

void TForm1::bxKeyBLModeChange(int index)
{
    if (index >= 0 && index <= 2)
        cfg_.main.at(MainOff::BLMode) = uint8_t(index);
}

void TForm1::bxKeyBeepChange(int index)
{
    if (index == 0 || index == 1)
        cfg_.main.at(MainOff::KeyBeep) = index == 0 ? 0xFF : 0x00;
}

void TForm1::udKeyBLLevelChanging(int position)
{
    cfg_.main.at(MainOff::BLLevel) = uint8_t(position);
}

} // namespace vk410
