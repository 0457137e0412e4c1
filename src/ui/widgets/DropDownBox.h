#pragma once
#include <QComboBox>

namespace vk410 {

// A drop-down list that tells before its list opens (OnDropDown: the window
// fills it afresh there) and shows a description under each item that has
// one, also as the item's tooltip and as the box's while the text is that
// item's.
class TDropDownBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDropDownBox(QWidget* parent = nullptr);

    // Replaces the items; the edit text stays and no change signal is sent,
    // so that a refill is not mistaken for the user's choice.
    void SetItems(const QStringList& items, const QStringList& descriptions);

    void showPopup() override;

signals:
    void dropDown();

private:
    void ShowDescriptionAsToolTip();
};

} // namespace vk410
