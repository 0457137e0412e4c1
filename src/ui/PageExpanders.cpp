// The page "Доп.разделы": the eight partition expanders.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QVariant>

#include "model/BitOps.h"
#include "FormUnit1.h"

namespace vk410 {

QWidget* TForm1::BuildExpandersPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("PageRazd"));
    auto* group = new QGroupBox(QStringLiteral("Расширители разделов"), page);
    group->setObjectName(QStringLiteral("GroupBoxExp"));
    group->setGeometry(8, 8, 330, 84);
    for (int e = 1; e <= kLoopCount; ++e) {
        auto* box = new QCheckBox(QString::number(e), group);
        box->setObjectName(QStringLiteral("ExpBox%1").arg(e));
        box->setProperty("tag", e);
        box->setGeometry(12 + 38 * (e - 1), 26, 36, 22);
        ExpBox[size_t(e - 1)] = box;
    }
    auto* label = new QLabel(QStringLiteral("Вкл/Выкл"), group);
    label->setGeometry(12, 54, 120, 18);
    return page;
}

void TForm1::ConnectExpandersPage()
{
    for (QCheckBox* box : ExpBox)
        connect(box, &QCheckBox::toggled, this, [this, box] { ExpQZ8OnOff(box); });
}

void TForm1::ExpQZ8OnOff(QCheckBox* box)
{
    const int e = box->property("tag").toInt();
    if (e < 1 || e > 8)
        return;
    uint8_t& mask = cfg_.main.at(MainOff::mask);
    mask = box->isChecked() ? SetBit(mask, 8 - e) : ClearBit(mask, 8 - e);
}

} // namespace vk410
