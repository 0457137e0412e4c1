#pragma once
#include <QString>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace vk410 {

enum class MsgIcon { Error, Warning, Information };
enum class MsgButtons { Ok, YesNo, SaveDiscardCancel };
enum class MsgResult { Ok, Yes, No, Save, Discard, Cancel };

// Every message box of the programmer goes through this, so that tests can
// answer it instead of blocking on a modal box.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MsgResult Show(QWidget* parent, MsgIcon icon, const QString& title,
                           const QString& text, MsgButtons buttons) = 0;
    // The application-wide error box for an exception's text.
    virtual void ShowError(const QString& text) = 0;
    virtual void Beep() = 0;
};

// The open and save dialogs; an empty result means cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString GetOpenFileName(QWidget* parent, const QString& title, const QString& dir,
                                    const QString& filter, const QString& defaultSuffix) = 0;
    virtual QString GetSaveFileName(QWidget* parent, const QString& title, const QString& dir,
                                    const QString& filter, const QString& defaultSuffix) = 0;
};

// A dialog's button in its row of buttons; Enter in the dialog never presses it.
QPushButton* AddRowButton(QHBoxLayout* row, const QString& text, const char* name, QWidget* parent);

class QtMessageBoxes : public MessageBoxes {
public:
    MsgResult Show(QWidget* parent, MsgIcon icon, const QString& title, const QString& text,
                   MsgButtons buttons) override;
    void ShowError(const QString& text) override;
    void Beep() override;
};

class QtFileDialogs : public FileDialogs {
public:
    QString GetOpenFileName(QWidget* parent, const QString& title, const QString& dir,
                            const QString& filter, const QString& defaultSuffix) override;
    QString GetSaveFileName(QWidget* parent, const QString& title, const QString& dir,
                            const QString& filter, const QString& defaultSuffix) override;
};

} // namespace vk410
