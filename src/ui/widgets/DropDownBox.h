#pragma once
#include <QComboBox>
#include <functional>

namespace vk410 {

// A drop-down list that tells before its list opens (OnDropDown: the window
// fills it afresh there) and shows a description under each item that has
// one, also as the item's tooltip. The box's tooltip holds its whole text
// (the box may show only its tail), what it stands for and the item's
// description, also while the text is typed.
class TDropDownBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDropDownBox(QWidget* parent = nullptr);

    // Replaces the items; the edit text stays and no change signal is sent,
    // so that a refill is not mistaken for the user's choice.
    void SetItems(const QStringList& items, const QStringList& descriptions);

    void showPopup() override;

    // What the box's text stands for, as its tooltip's second line; none when unset.
    std::function<QString(const QString& text)> meaningOf;
    void UpdateToolTip();

signals:
    void dropDown();

};

} // namespace vk410
