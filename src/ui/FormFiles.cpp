// The file menu: open, save and save as of configuration files.
#include <QPushButton>

#include "files/FileOps.h"
#include "files/FileTexts.h"
#include "files/Journal.h"
#include "files/Settings.h"
#include "files/ShortPath.h"
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
    if (!CommitFocusedEditor())
        return;
    const QString path = AskConfigFile(QStringLiteral("Открыть файл конфигурации"));
    if (path.isEmpty() || !OpenConfig(path))
        return;
    fileName_ = path;
    ShowFileCaption(path);
    WriteFolderSetting(path);
}

bool TForm1::OpenConfig(const QString& path)
{
    const uint8_t before = cfg_.model;
    const GprsTexts textsBefore = DialogTexts();
    GprsTexts texts = textsBefore;
    // Reads into a scratch copy: a rejected file, or one that throws its
    // conversion error to the application's error box, changes nothing.
    TsdParseResult fault;
    const uint8_t code = OpenConfigFile(path, cfg_, texts, &fault);
    if (code == kFailureCode) {
        QString text = QString::fromUtf8(kFileRejected);
        if (!fault.ok())
            text += QStringLiteral("\r\n") + path + QStringLiteral(": ") +
                    QString::fromStdString(ParseFaultText(fault));
        msgs_.Show(this, MsgIcon::Error, QStringLiteral("Ошибка чтения файла"), text, MsgButtons::Ok);
        return false;
    }
    if (gprs_ && texts != textsBefore)
        gprs_->SetTexts(texts);
    if (code != before) {
        SelectModelQuietly(code);
        SetDevice(code);
    }
    RefreshControls();
    panelVersion_.reset();
    radioFromPanel_ = false; // files never keep them
    SetStatusText(QStringLiteral("Файл открыт"));
    return true;
}

bool TForm1::OpenExactBytes(const QString& path)
{
    Configuration cfg;
    GprsTexts texts;
    QString why;
    if (!LoadJournalBytes(path, cfg, texts, why)) {
        msgs_.Show(this, MsgIcon::Error, QStringLiteral("Ошибка чтения файла"),
                   QString::fromUtf8(kFileRejected) + QStringLiteral("\r\n") + why, MsgButtons::Ok);
        return false;
    }
    const uint8_t before = cfg_.model;
    cfg_ = cfg;
    if (gprs_)
        gprs_->SetTexts(texts);
    if (cfg.model != before) {
        SelectModelQuietly(cfg.model);
        SetDevice(cfg.model);
    }
    RefreshControls();
    panelVersion_.reset();
    radioFromPanel_ = true;
    SetStatusText(QStringLiteral("Файл открыт"));
    return true;
}

void TForm1::N2Click()
{
    if (!CommitFocusedEditor())
        return;
    if (fileName_.isEmpty()) {
        N3Click();
        return;
    }
    SaveTo(fileName_);
}

void TForm1::N3Click()
{
    if (!CommitFocusedEditor())
        return;
    QString path = fileDialogs_->GetSaveFileName(
        this, QStringLiteral("Сохранить настройки панели как"), ReadFolderSetting(), kFilter, kSuffix);
    if (path.isEmpty())
        return;
    path = WithCf8Extension(path);
    // A file that could not be written leaves the name, the caption and the
    // remembered folder as they were.
    if (!SaveTo(path))
        return;
    WriteFolderSetting(path);
}

bool TForm1::SaveTo(const QString& path)
{
    if (!SaveConfigFile(path, cfg_, DialogTexts(), cfg_.model)) {
        msgs_.Show(this, MsgIcon::Error, QStringLiteral("Ошибка записи файла"),
                   QString::fromUtf8(kFileNotSaved) + QStringLiteral("\r\n") + path, MsgButtons::Ok);
        return false;
    }
    fileName_ = path;
    ShowFileCaption(path);
    SetStatusText(QStringLiteral("Файл сохранен"));
    return true;
}

// An editor that commits on leaving (the Meridian count, the radio period,
// the GSM page's editors) writes its value into the block before the block is
// used. One that refuses, or fails, to be left stops the command.
bool TForm1::CommitFocusedEditor()
{
    const auto* masked = qobject_cast<const TMaskEdit*>(focusWidget());
    leaveFailed_ = false;
    BtnClose->setFocus(Qt::OtherFocusReason);
    return !leaveFailed_ && (!masked || masked->CanLeave());
}

void TForm1::ShowFileCaption(const QString& path)
{
    setWindowTitle(ShortPathName(path) + QStringLiteral(" : ") + AppCaption());
}

} // namespace vk410
