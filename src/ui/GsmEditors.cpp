// The overlay editors of the GSM page's grids: opening over a cell, storing
// into the block on close-up, exit, Esc and Enter, and the row drag.
#include <QFocusEvent>
#include <QApplication>
#include <QKeyEvent>
#include <algorithm>

#include "model/CXMGSM.h"
#include "GsmPageImpl.h"

namespace vk410 {

namespace {

const QString kPhoneMask = QStringLiteral("999999999999;1; ");
const QString kIpMask = QStringLiteral("!000.000.000.000:00000;1;_");

QString StripPhone(const QString& text) { return QString::fromStdString(StripPhoneText(text.toStdString())); }

// The block keeps only 8 bits of an octet and 16 of the port: larger numbers
// are refused rather than stored as something else.
bool IpInRange(const QString& text)
{
    if (text.size() != 21)
        return false;
    for (int start : {0, 4, 8, 12})
        if (text.mid(start, 3).toUInt() > 255)
            return false;
    return text.mid(16, 5).toUInt() <= 65535;
}

bool PhoneStorable(const QString& text)
{
    uint8_t scratch[kAddressSize];
    return EncodePhone(StripPhoneText(text.toStdString()), scratch);
}

} // namespace

void TDropList::showPopup()
{
    ++openings_;
    QComboBox::showPopup();
}

void TDropList::hidePopup()
{
    QComboBox::hidePopup();
    const int opening = openings_;
    QMetaObject::invokeMethod(
        this,
        [this, opening] {
            // A close-up that arrives after the list was opened again is stale.
            if (opening == openings_ && onCloseUp)
                onCloseUp();
        },
        Qt::QueuedConnection);
}

int ItemIndexOfText(const QString& text, const QComboBox* list)
{
    if (text.isEmpty())
        return 0;
    for (int i = 0; i < list->count(); ++i)
        if (list->itemText(i) == text)
            return i;
    return 0;
}

void TGsmPage::Impl::ConnectEditors()
{
    grdG1->onSelectCell = [this](int col, int row) { return grdG1SelectCell(col, row); };
    grdSMS->onSelectCell = [this](int col, int row) { return grdSMSSelectCell(col, row); };
    connect(grdG1, &TGsmGrid::rowMoved, this, [this](int from, int to) { grdG1RowMoved(from, to); });
    bxGrTryCnt->onCloseUp = [this] { bxGrTryCntCloseUp(); };
    bxGrSIM->onCloseUp = [this] { bxGrSIMCloseUp(); };
    bxGrType->onCloseUp = [this] { bxGrTypeCloseUp(); };
    bxSMSType->onCloseUp = [this] { bxSMSTypeCloseUp(); };
    connect(medtGrPhHst, &TMaskEdit::exited, this, [this] { medtGrPhHstExit(); });
    connect(medtSMSPhone, &TMaskEdit::exited, this, [this] { medtSMSPhoneExit(); });
    for (QWidget* w : std::initializer_list<QWidget*>{bxGrTryCnt, bxGrSIM, bxGrType, medtGrPhHst, bxSMSType,
                                                      medtSMSPhone})
        w->installEventFilter(this);
    // The controls that must not act while an editor refuses to be left.
    for (QWidget* w : std::initializer_list<QWidget*>{chkCXMExist, chkGSM_TXON, chkGSM_ContrlEnbl, chkUseGPRScfg,
                                                      btnGPRS, medtDevNumber, grdG1->viewport(), grdSMS->viewport()})
        w->installEventFilter(this);
}

bool TGsmPage::Impl::EditorOpen() const
{
    for (const QWidget* w : std::initializer_list<const QWidget*>{bxGrTryCnt, bxGrSIM, bxGrType, medtGrPhHst,
                                                                  bxSMSType, medtSMSPhone})
        if (!w->isHidden())
            return true;
    return false;
}

TMaskEdit* TGsmPage::Impl::RefusingEditor() const
{
    for (TMaskEdit* edit : {medtDevNumber, medtGrPhHst, medtSMSPhone})
        if (!edit->isHidden() && !edit->CanLeave())
            return edit;
    return nullptr;
}

// Ends the open editor as leaving it does; one that may not be left loses
// its changes, as the page that holds it is going.
void TGsmPage::Impl::CloseOpenEditor()
{
    for (TDropList* bx : {bxGrTryCnt, bxGrSIM, bxGrType, bxSMSType})
        if (bx->view()->window()->isVisible())
            bx->hidePopup();
    for (TMaskEdit* edit : {medtGrPhHst, medtSMSPhone})
        if (!edit->isHidden() && !edit->CanLeave())
            edit->Restore();
    bxGrTryCntCloseUp();
    bxGrSIMCloseUp();
    bxGrTypeCloseUp();
    bxSMSTypeCloseUp();
    medtGrPhHstExit();
    medtSMSPhoneExit();
}

// An editor still open here refused to let the focus go: no other cell, and
// no row drag, until it is left.
bool TGsmPage::Impl::grdG1SelectCell(int col, int row)
{
    if (EditorOpen())
        return false;
    grdG1->lower();
    if (row == 0)
        return true;
    const bool on = cfg.gsm.at(GsmOff::destByte(row)) != 0;
    if (col >= 3 && col <= 5 && !on)
        return false;
    switch (col) {
    case 2: OpenList(bxGrTryCnt, grdG1, col, row); break;
    case 3: OpenList(bxGrSIM, grdG1, col, row); break;
    case 4: OpenList(bxGrType, grdG1, col, row); break;
    case 5: OpenAddressEditor(row); break;
    default: break;
    }
    return true;
}

bool TGsmPage::Impl::grdSMSSelectCell(int col, int row)
{
    if (EditorOpen())
        return false;
    grdSMS->lower();
    if (row == 0)
        return true;
    if (col == 2) {
        OpenList(bxSMSType, grdSMS, col, row);
    } else if (col == 3) {
        if (cfg.gsm.at(GsmOff::smsCfg(row)) == 0)
            return false;
        OpenSmsPhoneEditor(row);
    }
    return true;
}

void TGsmPage::Impl::PlaceEditor(QWidget* editor, TGsmGrid* grid, int col, int row)
{
    const QRect cell = grid->CellRect(col, row, q);
    editor->setGeometry(cell.left() + 1, cell.top() + 1, cell.width() + 1, cell.height() + 1);
    editRow = row;
}

void TGsmPage::Impl::OpenList(TDropList* bx, TGsmGrid* grid, int col, int row)
{
    PlaceEditor(bx, grid, col, row);
    bx->setCurrentIndex(ItemIndexOfText(grid->Cell(col, row), bx));
    bx->show();
    bx->raise();
    bx->setFocus(Qt::OtherFocusReason);
    bx->showPopup();
}

void TGsmPage::Impl::OpenAddressEditor(int row)
{
    medtGrPhHst->SetEditMask(QString());
    medtGrPhHst->SetText(QString());
    const QString text = grdG1->Cell(5, row);
    if (ItemIndexOfText(grdG1->Cell(4, row), bxGrType) <= dpCSD) {
        medtGrPhHst->SetEditMask(kPhoneMask);
        medtGrPhHst->SetExtraCheck({});
        medtGrPhHst->SetText(StripPhone(text));
    } else {
        medtGrPhHst->SetEditMask(kIpMask);
        medtGrPhHst->SetExtraCheck(IpInRange);
        medtGrPhHst->SetText(text);
    }
    PlaceEditor(medtGrPhHst, grdG1, 5, row);
    medtGrPhHst->show();
    medtGrPhHst->raise();
    medtGrPhHst->setFocus(Qt::OtherFocusReason);
}

void TGsmPage::Impl::OpenSmsPhoneEditor(int row)
{
    medtSMSPhone->SetText(StripPhone(grdSMS->Cell(3, row)));
    PlaceEditor(medtSMSPhone, grdSMS, 3, row);
    medtSMSPhone->show();
    medtSMSPhone->raise();
    medtSMSPhone->setFocus(Qt::OtherFocusReason);
}

void TGsmPage::Impl::CloseEditor(QWidget* editor, TGsmGrid* grid, const std::function<void(int row)>& store)
{
    // Close-up and exit both end up here; only the first run finds the editor open.
    if (editor->isHidden() || closing)
        return;
    closing = true;
    const int row = editRow;
    store(row);
    q->GridGSMUpdate();
    editor->hide();
    ParkSelection(grid, row);
    closing = false;
}

void TGsmPage::Impl::bxGrTryCntCloseUp()
{
    CloseEditor(bxGrTryCnt, grdG1, [this](int r) { SetDestinationTries(cfg.gsm, bxGrTryCnt->currentIndex(), r); });
}

void TGsmPage::Impl::bxGrSIMCloseUp()
{
    CloseEditor(bxGrSIM, grdG1, [this](int r) { SetDestinationSim(cfg.gsm, bxGrSIM->currentIndex(), r); });
}

void TGsmPage::Impl::bxGrTypeCloseUp()
{
    CloseEditor(bxGrType, grdG1, [this](int r) { SetDestinationProtocol(cfg.gsm, bxGrType->currentIndex(), r); });
}

void TGsmPage::Impl::bxSMSTypeCloseUp()
{
    CloseEditor(bxSMSType, grdSMS, [this](int r) { SetSmsType(cfg.gsm, bxSMSType->currentIndex(), r); });
}

// The masked editors store only text the user changed: an untouched editor
// must not cut a longer number from the panel down to its twelve positions.
void TGsmPage::Impl::medtGrPhHstExit()
{
    CloseEditor(medtGrPhHst, grdG1, [this](int r) {
        if (!medtGrPhHst->Modified())
            return;
        const std::string text = medtGrPhHst->Text().toStdString();
        const QString protocol = grdG1->Cell(4, r);
        if (protocol == bxGrType->itemText(dpVoice) || protocol == bxGrType->itemText(dpCSD))
            SetDestinationPhone(cfg.gsm, text, r);
        else
            SetDestinationIp(cfg.gsm, text, r);
    });
}

void TGsmPage::Impl::medtSMSPhoneExit()
{
    CloseEditor(medtSMSPhone, grdSMS, [this](int r) {
        if (medtSMSPhone->Modified())
            SetSmsPhone(cfg.gsm, medtSMSPhone->Text().toStdString(), r);
    });
}

void TGsmPage::Impl::ParkSelection(TGsmGrid* grid, int row)
{
    grid->setFocus(Qt::OtherFocusReason);
    grid->SetCurrent(1, row);
}

void TGsmPage::Impl::grdG1RowMoved(int from, int to)
{
    // Where each row's destination came from, for addresses its text cannot carry.
    std::vector<int> source{0, 1, 2, 3, 4, 5};
    source.erase(source.begin() + from);
    source.insert(source.begin() + to, from);
    const TGsmBlock before = cfg.gsm;
    for (int n = 1; n <= kDestinationCount; ++n) {
        const int tries = ItemIndexOfText(grdG1->Cell(2, n), bxGrTryCnt);
        const int protocol = ItemIndexOfText(grdG1->Cell(4, n), bxGrType);
        const QString address = grdG1->Cell(5, n);
        SetDestinationTries(cfg.gsm, tries, n);
        SetDestinationSim(cfg.gsm, ItemIndexOfText(grdG1->Cell(3, n), bxGrSIM), n);
        SetDestinationProtocol(cfg.gsm, protocol, n);
        if (protocol > dpCSD) {
            SetDestinationIp(cfg.gsm, address.toStdString(), n);
        } else if (tries != 0 && !PhoneStorable(address)) {
            // A number the text form cannot store again (too short, from the
            // panel) moves as its bytes instead of being lost.
            const uint8_t* from_ = before.payload() + GsmOff::destAddr(source[std::size_t(n)]);
            std::copy(from_, from_ + kAddressSize, cfg.gsm.payload() + GsmOff::destAddr(n));
        } else {
            SetDestinationPhone(cfg.gsm, address.toStdString(), n);
        }
    }
    for (int n = 1; n <= kDestinationCount; ++n)
        grdG1->SetCell(0, n, QString::number(n));
    q->GridGSMUpdate();
    ParkSelection(grdG1, 1);
}

bool TGsmPage::Impl::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
        type == QEvent::MouseButtonDblClick) {
        // The click's focus change has already made the editor refuse, once.
        const TMaskEdit* refusing = RefusingEditor();
        return refusing && refusing != watched;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        // Esc on an edit that could not be left abandons its changes first.
        auto* edit = qobject_cast<TMaskEdit*>(watched);
        if (edit && key == Qt::Key_Escape && !edit->CanLeave())
            edit->Restore();
        // The edit ends here, not when the focus goes: a window that is not
        // active (a box has just closed) moves no focus.
        if (edit)
            edit->Leave();
        else
            ListCloseUp(watched);
        return true;
    }
    if (event->type() == QEvent::FocusOut) {
        TDropList* const lists[] = {bxGrTryCnt, bxGrSIM, bxGrType, bxSMSType};
        const auto* it = std::find(std::begin(lists), std::end(lists), watched);
        if (it == std::end(lists))
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
            return false;
        // The list's own popup taking the focus is not leaving the list.
        const QWidget* popup = (*it)->view()->window();
        const QWidget* next = QApplication::focusWidget();
        if (popup->isVisible() || (next && next->window() == popup))
            return false;
        ListCloseUp(*it);
    }
    return false;
}

void TGsmPage::Impl::ListCloseUp(QObject* list)
{
    if (list == bxGrTryCnt)
        bxGrTryCntCloseUp();
    else if (list == bxGrSIM)
        bxGrSIMCloseUp();
    else if (list == bxGrType)
        bxGrTypeCloseUp();
    else if (list == bxSMSType)
        bxSMSTypeCloseUp();
}

} // namespace vk410
