#include "Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>

namespace vk410 {

namespace {

QPushButton* AddButton(QMessageBox& box, const QString& text, QMessageBox::ButtonRole role, const char* name)
{
    QPushButton* button = box.addButton(text, role);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// The toolkit's own "Discard" reads differently on every desktop: the texts are ours.
MsgResult AskToSave(QMessageBox& box)
{
    QPushButton* save = AddButton(box, QStringLiteral("Сохранить"), QMessageBox::AcceptRole, "btnSave");
    QPushButton* discard = AddButton(box, QStringLiteral("Не сохранять"), QMessageBox::DestructiveRole, "btnDiscard");
    QPushButton* cancel = AddButton(box, QStringLiteral("Отмена"), QMessageBox::RejectRole, "btnCancel");
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == save      ? MsgResult::Save
           : box.clickedButton() == discard ? MsgResult::Discard
                                            : MsgResult::Cancel;
}

} // namespace

QPushButton* AddRowButton(QHBoxLayout* row, const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

MsgResult QtMessageBoxes::Show(QWidget* parent, MsgIcon icon, const QString& title,
                               const QString& text, MsgButtons buttons)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    // Texts keep their CR LF line breaks; the label wants LF alone.
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setIcon(icon == MsgIcon::Error     ? QMessageBox::Critical
                : icon == MsgIcon::Warning ? QMessageBox::Warning
                                           : QMessageBox::Information);
    if (buttons == MsgButtons::SaveDiscardCancel)
        return AskToSave(box);
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgResult::Ok;
}

void QtMessageBoxes::ShowError(const QString& text)
{
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), text);
}

void QtMessageBoxes::Beep() { QApplication::beep(); }

namespace {

QString RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& title,
                      const QString& dir, const QString& filter, const QString& suffix)
{
    QFileDialog dialog(parent, title, dir, filter);
    dialog.setAcceptMode(mode);
    dialog.setDefaultSuffix(suffix);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::ReadOnly, false);
    } else {
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// "Файлы конфигурации панели|*.cf8" -> "Файлы конфигурации панели (*.cf8)"
QString QtFilter(const QString& filter)
{
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    return bar < 0 ? filter : filter.left(bar) + QStringLiteral(" (") + filter.mid(bar + 1) + QLatin1Char(')');
}

} // namespace

QString QtFileDialogs::GetOpenFileName(QWidget* parent, const QString& title, const QString& dir,
                                       const QString& filter, const QString& defaultSuffix)
{
    return RunFileDialog(parent, QFileDialog::AcceptOpen, title, dir, QtFilter(filter), defaultSuffix);
}

QString QtFileDialogs::GetSaveFileName(QWidget* parent, const QString& title, const QString& dir,
                                       const QString& filter, const QString& defaultSuffix)
{
    return RunFileDialog(parent, QFileDialog::AcceptSave, title, dir, QtFilter(filter), defaultSuffix);
}

} // namespace vk410
