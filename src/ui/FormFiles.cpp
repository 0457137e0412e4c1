// The file menu: open, save and save as of configuration files, the files
// last opened or saved, and a file from outside (the command line, a drop).
#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

#include "files/FileOps.h"
#include "files/FileTexts.h"
#include "files/Journal.h"
#include "files/Settings.h"
#include "link/PanelLink.h"
#include "Dialogs.h"
#include "FormGprs.h"
#include "FormUnit1.h"
#include "widgets/MaskEdit.h"

namespace vk410 {

namespace {
const QString kFilter = QStringLiteral("Файлы конфигурации панели|*.cf8");
const QString kSuffix = QStringLiteral("cf8");
} // namespace

QString TForm1::AskConfigFile(const QString& title)
{
    return fileDialogs_->GetOpenFileName(this, title, ReadFolderSetting(), kFilter, kSuffix);
}

void TForm1::N4Click()
{
    if (!MayReplaceDocument())
        return;
    const QString path = AskConfigFile(QStringLiteral("Открыть файл конфигурации"));
    if (!path.isEmpty())
        OpenFile(path);
}

bool TForm1::OpenFile(const QString& path)
{
    if (!OpenConfig(path, {OriginKind::File, path.toStdString(), false}))
        return false;
    WriteFolderSetting(path);
    RememberFile(path);
    return true;
}

void TForm1::OpenFromOutside(const QString& path)
{
    if (terminating_ || !MayReplaceDocument())
        return;
    OpenFile(QFileInfo(path).absoluteFilePath());
}

bool TForm1::OpenConfig(const QString& path, const DocumentOrigin& origin)
{
    return ArriveFrom([this, &path] { return ApplyConfigFile(path); }, origin);
}

bool TForm1::ApplyConfigFile(const QString& path)
{
    const uint8_t before = cfg_.model;
    const GprsTexts textsBefore = DialogTexts();
    GprsTexts texts = textsBefore;
    // Reads into a scratch copy: a rejected file, or one that throws its
    // conversion error to the application's error box, changes nothing.
    TsdParseResult fault;
    const uint8_t code = OpenConfigFile(path, cfg_, texts, &fault);
    if (code == kFailureCode) {
        ShowFileRejected(fault.ok() ? QString()
                                    : path + QStringLiteral(": ") + QString::fromStdString(ParseFaultText(fault)));
        return false;
    }
    if (gprs_ && texts != textsBefore)
        gprs_->SetTexts(texts);
    if (code != before) {
        SelectModelQuietly(code);
        SetDevice(code);
    }
    RefreshControls();
    // The dialog keeps 31 characters of a longer text: said, not done unseen.
    QString opened = QStringLiteral("Файл открыт");
    for (const CutGprsText& cut : OverlongGprsTexts(texts))
        opened += QStringLiteral(". ") + QString::fromStdString(CutGprsTextWords(cut));
    SetStatusText(opened);
    return true;
}

void TForm1::ShowFileRejected(const QString& why)
{
    const QString text = QString::fromUtf8(kFileRejected);
    msgs_.Show(this, MsgIcon::Error, QStringLiteral("Ошибка чтения файла"),
               why.isEmpty() ? text : text + QStringLiteral("\r\n") + why, MsgButtons::Ok);
}

bool TForm1::OpenExactBytes(const QString& path)
{
    Configuration cfg;
    GprsTexts texts;
    QString why;
    if (!LoadJournalBytes(path, cfg, texts, why)) {
        ShowFileRejected(why);
        return false;
    }
    ShowConfiguration(cfg, texts);
    SetStatusText(QStringLiteral("Файл открыт"));
    return true;
}

void TForm1::N2Click() { SaveDocument(); }

void TForm1::N3Click() { SaveDocumentAs(); }

// Replaces a file without asking only when the configuration came from it.
bool TForm1::SaveDocument()
{
    if (!CommitFocusedEditor())
        return false;
    const QString target = FileName();
    return target.isEmpty() ? SaveDocumentAs() : SaveTo(target);
}

bool TForm1::SaveDocumentAs()
{
    if (!CommitFocusedEditor())
        return false;
    QString path = fileDialogs_->GetSaveFileName(
        this, QStringLiteral("Сохранить настройки панели как"), ReadFolderSetting(), kFilter, kSuffix);
    if (path.isEmpty())
        return false;
    path = WithCf8Extension(path);
    // A file that could not be written leaves the name, the caption and the
    // remembered folder as they were.
    if (!SaveTo(path))
        return false;
    WriteFolderSetting(path);
    return true;
}

bool TForm1::SaveTo(const QString& path)
{
    NoteChanges();
    if (!SaveConfigFile(path, cfg_, DialogTexts(), cfg_.model)) {
        msgs_.Show(this, MsgIcon::Error, QStringLiteral("Ошибка записи файла"),
                   QString::fromUtf8(kFileNotSaved) + QStringLiteral("\r\n") + path, MsgButtons::Ok);
        return false;
    }
    doc_->Saved(path.toStdString());
    UpdateDocumentState();
    RememberFile(path);
    SetStatusText(QStringLiteral("Файл сохранен"));
    return true;
}

void TForm1::BuildRecentFiles(QMenu* file)
{
    static_assert(std::tuple_size_v<decltype(mnuRecent)> == kRecentFileCount);
    recentSeparator_ = file->addSeparator();
    for (std::size_t n = 0; n < mnuRecent.size(); ++n) {
        mnuRecent[n] = file->addAction(QString());
        mnuRecent[n]->setObjectName(QStringLiteral("mnuRecent%1").arg(n + 1));
        QAction* action = mnuRecent[n];
        connect(action, &QAction::triggered, this, [this, action] { OpenRecent(action); });
    }
    // Another programmer may have opened or saved a file meanwhile.
    connect(file, &QMenu::aboutToShow, this, &TForm1::FillRecentFiles);
}

void TForm1::FillRecentFiles()
{
    const QStringList files = ReadRecentFiles();
    for (std::size_t n = 0; n < mnuRecent.size(); ++n) {
        const bool used = qsizetype(n) < files.size();
        const QString path = used ? files.at(qsizetype(n)) : QString();
        mnuRecent[n]->setText(QStringLiteral("&%1 %2").arg(n + 1).arg(QDir::toNativeSeparators(path)));
        mnuRecent[n]->setData(path);
        mnuRecent[n]->setVisible(used);
    }
    recentSeparator_->setVisible(!files.isEmpty());
}

void TForm1::RememberFile(const QString& path)
{
    AddRecentFile(path);
    FillRecentFiles();
}

void TForm1::OpenRecent(QAction* action)
{
    const QString path = action->data().toString();
    if (path.isEmpty() || !MayReplaceDocument())
        return;
    // A file that has gone has had its box; it leaves the list.
    if (!OpenFile(path) && !QFileInfo::exists(path)) {
        RemoveRecentFile(path);
        FillRecentFiles();
    }
}

bool TForm1::HandleFileDrag(QObject* target, QEvent* event)
{
    const auto* widget = qobject_cast<const QWidget*>(target);
    if (!widget || widget->window() != this)
        return false;
    auto* drag = static_cast<QDropEvent*>(event);
    const QList<QUrl> urls = drag->mimeData()->urls();
    if (urls.size() != 1 || !urls[0].isLocalFile() ||
        !urls[0].toLocalFile().endsWith(QStringLiteral(".cf8"), Qt::CaseInsensitive))
        return false;
    // Taken from every control, so that no edit takes the file's name as text.
    if (ExchangeRunning()) {
        drag->ignore();
        return true;
    }
    drag->acceptProposedAction();
    // Opened after the drop has ended: the question must not hold the file manager.
    if (event->type() == QEvent::Drop)
        QTimer::singleShot(0, this, [this, path = urls[0].toLocalFile()] { OpenFromOutside(path); });
    return true;
}

// An editor that commits on leaving (the Meridian count, the radio period,
// the GSM page's editors) writes its value into the block before the block is
// used. One that refuses, or fails, to be left stops the command.
bool TForm1::CommitFocusedEditor()
{
    QWidget* focused = focusWidget();
    const auto* masked = qobject_cast<const TMaskEdit*>(focused);
    leaveFailed_ = false;
    BtnClose->setFocus(Qt::OtherFocusReason);
    const bool committed = !leaveFailed_ && (!masked || masked->CanLeave());
    if (committed)
        ReturnFocus(focused);
    return committed;
}

// "Выход" keeps the focus only when the user put it there: a Space meant for
// the control would close the window.
void TForm1::ReturnFocus(QWidget* widget)
{
    if (widget && widget != BtnClose && widget->window() == this && widget->isVisible() && widget->isEnabled())
        widget->setFocus(Qt::OtherFocusReason);
    else if (widget != BtnClose)
        PageMain->setFocus(Qt::OtherFocusReason);
}

} // namespace vk410
