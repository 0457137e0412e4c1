#pragma once
// The GSM page's controls and handlers, shared by GsmPage.cpp (layout,
// switches, redraw) and GsmEditors.cpp (the grids' overlay editors).
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <functional>

#include "GsmGrid.h"
#include "GsmPage.h"
#include "widgets/MaskEdit.h"

namespace vk410 {

// A drop-down list that reports its close-up after the choice has been made
// (the toolkit hides the popup before it changes the selection).
class TDropList : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> onCloseUp;
    void showPopup() override;
    void hidePopup() override;

private:
    int openings_ = 0;
};

struct TGsmPage::Impl : QObject {
    Impl(TGsmPage* page, Configuration& config, MessageBoxes& boxes);

    TGsmPage* q;
    Configuration& cfg;
    MessageBoxes& msgs;
    TfrmGPRS* gprs = nullptr;

    QCheckBox* chkCXMExist = nullptr;
    QLabel* lbl7 = nullptr;
    TMaskEdit* medtDevNumber = nullptr;
    QCheckBox* chkGSM_TXON = nullptr;
    QCheckBox* chkGSM_ContrlEnbl = nullptr;
    QLabel* lbl11 = nullptr;
    TGsmGrid* grdG1 = nullptr;
    QLabel* lbl4 = nullptr;
    TGsmGrid* grdSMS = nullptr;
    QCheckBox* chkUseGPRScfg = nullptr;
    QPushButton* btnGPRS = nullptr;
    TDropList* bxGrTryCnt = nullptr;
    TDropList* bxGrSIM = nullptr;
    TDropList* bxGrType = nullptr;
    TMaskEdit* medtGrPhHst = nullptr;
    TDropList* bxSMSType = nullptr;
    TMaskEdit* medtSMSPhone = nullptr;

    int editRow = 0;      // the row whose editor is open
    bool closing = false; // an editor is being closed

    // GsmPage.cpp
    void BuildControls();
    void BuildGrids();
    void BuildEditors();
    void chkCXMExistClick();
    void chkGSM_TXONClick();
    void chkGSM_ContrlEnblClick();
    void chkUseGPRScfgClick();
    void btnGPRSClick();
    void medtDevNumberExit();

    // GsmEditors.cpp
    void ConnectEditors();
    bool EditorOpen() const;
    // The masked edit that holds text it may not be left with, if any.
    TMaskEdit* RefusingEditor() const;
    void CloseOpenEditor();
    bool grdG1SelectCell(int col, int row);
    bool grdSMSSelectCell(int col, int row);
    void OpenList(TDropList* bx, TGsmGrid* grid, int col, int row);
    void OpenAddressEditor(int row);
    void OpenSmsPhoneEditor(int row);
    void PlaceEditor(QWidget* editor, TGsmGrid* grid, int col, int row);
    void CloseEditor(QWidget* editor, TGsmGrid* grid, const std::function<void(int row)>& store);
    void bxGrTryCntCloseUp();
    void bxGrSIMCloseUp();
    void bxGrTypeCloseUp();
    void bxSMSTypeCloseUp();
    void medtGrPhHstExit();
    void medtSMSPhoneExit();
    void ListCloseUp(QObject* list);
    void grdG1RowMoved(int from, int to);
    void ParkSelection(TGsmGrid* grid, int row);
    bool eventFilter(QObject* watched, QEvent* event) override;
};

int ItemIndexOfText(const QString& text, const QComboBox* list);

} // namespace vk410
