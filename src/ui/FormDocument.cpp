// The document around the window's configuration: where it came from and
// whether it changed since, the question before changes are dropped, undo and
// redo, the title's modified mark and the recovery copy of unsaved changes.
#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QTimer>

#include "files/Recovery.h"
#include "files/ShortPath.h"
#include "link/PanelLink.h"
#include "Dialogs.h"
#include "FormGprs.h"
#include "FormUnit1.h"
#include "widgets/EventHook.h"

namespace vk410 {

namespace {

constexpr int kRecoveryDelayMs = 3000;

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

void TForm1::StartDocument()
{
    doc_ = std::make_unique<Document>(Current());
    recovery_ = std::make_unique<RecoveryCopy>();
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setObjectName(QStringLiteral("RecoveryTimer"));
    recoveryTimer_->setSingleShot(true);
    recoveryTimer_->setInterval(kRecoveryDelayMs);
    connect(recoveryTimer_, &QTimer::timeout, this, &TForm1::KeepRecoveryCopy);
    // Every object's events: the input that may change the configuration, and
    // files dragged onto the window.
    filters_.push_back(new EventHook(qApp, EventHook::TargetHandler([this](QObject* target, QEvent* event) {
        return WatchInput(target, event);
    })));
    UpdateDocumentState();
}

void TForm1::BuildEditMenu()
{
    QMenu* edit = menuBar()->addMenu(QStringLiteral("Пр&авка"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    mnuUndo = edit->addAction(QStringLiteral("&Отменить"));
    mnuUndo->setObjectName(QStringLiteral("mnuUndo"));
    mnuUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuRedo = edit->addAction(QStringLiteral("&Повторить"));
    mnuRedo->setObjectName(QStringLiteral("mnuRedo"));
    mnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    ConnectCommand(mnuUndo, &TForm1::mnuUndoClick);
    ConnectCommand(mnuRedo, &TForm1::mnuRedoClick);
}

DocumentContent TForm1::Current() const { return {cfg_, DialogTexts()}; }

QString TForm1::FileName() const { return QString::fromStdString(doc_->SaveTarget()); }

std::optional<int> TForm1::PanelVersion() const
{
    const int version = doc_->PanelVersion();
    return version < 0 ? std::nullopt : std::optional<int>(version);
}

bool TForm1::WatchInput(QObject* target, QEvent* event)
{
    if (!doc_)
        return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)
        return HandleFileDrag(target, event);
    if (type == QEvent::FocusIn) {
        // Leaving an edit ends its step, with what its leave rule stored.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            NoteChanges(groupWidget_);
            groupWidget_ = nullptr;
        }
    } else if (IsUserInput(type)) {
        ScheduleChangeCheck();
    }
    return false;
}

void TForm1::ScheduleChangeCheck()
{
    if (checkPending_)
        return;
    checkPending_ = true;
    // Once the input has been handled, and what it queued too (the GSM page's
    // lists store their choice in a call they queue as they close).
    QTimer::singleShot(0, this, [this] {
        QTimer::singleShot(0, this, [this] {
            checkPending_ = false;
            NoteChanges(QApplication::focusWidget());
        });
    });
}

void TForm1::NoteChanges(QWidget* editor)
{
    if (!doc_ || replacing_ > 0)
        return;
    unsigned group = 0;
    if (qobject_cast<QLineEdit*>(editor)) {
        if (editor != groupWidget_) {
            groupWidget_ = editor;
            ++editGroup_;
        }
        group = editGroup_;
    } else {
        groupWidget_ = nullptr;
    }
    if (doc_->Edit(Current(), group))
        UpdateDocumentState();
}

bool TForm1::ArriveFrom(const std::function<bool()>& apply, const DocumentOrigin& origin)
{
    NoteChanges();
    {
        const Replacing replacing(replacing_);
        if (!apply())
            return false;
    }
    doc_->Arrive(Current(), origin, origin.kind == OriginKind::JournalEntry && origin.exactBytes);
    UpdateDocumentState();
    return true;
}

void TForm1::RecordExchange(int code, bool comparing, const ExchangeResult& result)
{
    // A read replaces the configuration once it has taken block 1, failed later or not.
    const bool read = !result.isWrite && !comparing && result.mainTaken &&
                      (code == kReportDone || code == kReportReadFailed);
    if (read)
        doc_->Arrive(Current(), {OriginKind::PanelRead, {}, false}, true, result.version);
    else
        doc_->Follow(Current()); // a write's frame headers and check bytes
    UpdateDocumentState();
}

void TForm1::RecordModelSwitch(int index)
{
    NoteChanges();
    {
        const Replacing replacing(replacing_);
        DeviceTypeListChange(index);
    }
    doc_->SwitchModel(Current());
    UpdateDocumentState();
}

void TForm1::mnuUndoClick() { StepThroughHistory(&Document::Undo); }

void TForm1::mnuRedoClick() { StepThroughHistory(&Document::Redo); }

// An edit still open is the latest step: committed first, then stepped over.
void TForm1::StepThroughHistory(bool (Document::*step)())
{
    if (!CommitFocusedEditor())
        return;
    NoteChanges();
    if (((*doc_).*step)())
        ShowDocument();
}

// The refresh of the rules shows the document's content; nothing goes to a panel.
void TForm1::ShowDocument()
{
    {
        const Replacing replacing(replacing_);
        ShowConfiguration(doc_->Content().cfg, doc_->Content().texts);
    }
    doc_->Follow(Current());
    UpdateDocumentState();
}

void TForm1::ShowConfiguration(const Configuration& cfg, const GprsTexts& texts)
{
    const uint8_t shown = cfg_.model;
    cfg_ = cfg;
    if (cfg_.model != shown) {
        SelectModelQuietly(cfg_.model);
        SetDevice(cfg_.model);
    }
    RefreshControls();
    // After the refresh, which shows block 3's texts in the dialog.
    if (gprs_)
        gprs_->SetTexts(texts);
}

void TForm1::UpdateDocumentState()
{
    const DocumentOrigin& origin = doc_->Origin();
    const bool named = origin.kind == OriginKind::File || origin.kind == OriginKind::JournalEntry;
    const QString file = named ? ShortPathName(QString::fromStdString(origin.path)) + QStringLiteral(" : ") : QString();
    setWindowTitle(file + AppCaption() + QStringLiteral("[*]"));
    setWindowModified(doc_->Modified());
    mnuUndo->setEnabled(doc_->CanUndo());
    mnuRedo->setEnabled(doc_->CanRedo());
    if (doc_->Modified())
        recoveryTimer_->start();
    else
        DropRecoveryCopy();
}

bool TForm1::MayDropChanges()
{
    if (!CommitFocusedEditor())
        return false;
    NoteChanges();
    if (!doc_->Modified())
        return true;
    switch (msgs_.Show(this, MsgIcon::Warning, QStringLiteral("Программатор"),
                       QStringLiteral("Сохранить изменения конфигурации?"), MsgButtons::SaveDiscardCancel)) {
    case MsgResult::Save:
        return SaveDocument();
    case MsgResult::Discard:
        return true;
    default:
        return false;
    }
}

bool TForm1::MayReplaceDocument() { return !ExchangeRunning() && MayDropChanges(); }

void TForm1::KeepRecoveryCopy()
{
    recoveryTimer_->stop();
    if (!doc_->Modified())
        return;
    // A copy that cannot be written leaves the window as it is: it is a safety net only.
    recovery_->Keep(doc_->Copy());
    copyKept_ = true;
}

void TForm1::DropRecoveryCopy()
{
    recoveryTimer_->stop();
    if (copyKept_)
        recovery_->Drop();
    copyKept_ = false;
}

void TForm1::OfferRecoveryCopies()
{
    for (const LeftCopy& left : LeftCopies()) {
        const QString text = QStringLiteral("Найдены несохранённые изменения от %1. Восстановить?")
                                 .arg(left.time.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
        const MsgResult answer =
            msgs_.Show(this, MsgIcon::Warning, QStringLiteral("Программатор"), text, MsgButtons::YesNo);
        if (terminating_)
            return; // unanswered: offered again next time
        if (answer != MsgResult::Yes) {
            RemoveLeftCopy(left.path);
            continue;
        }
        NoteChanges();
        doc_->Restore(left.copy);
        ShowDocument();
        // The changes are in this window's copy before the old one goes.
        KeepRecoveryCopy();
        RemoveLeftCopy(left.path);
        return;
    }
}

void TForm1::Terminate()
{
    terminating_ = true;
    NoteChanges();
    KeepRecoveryCopy();
    QApplication::closeAllWindows();
}

} // namespace vk410
