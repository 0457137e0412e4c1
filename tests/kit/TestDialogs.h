#pragma once
// Test doubles for the programmer's message boxes and file dialogs: no modal
// box blocks a test, and each test sees what was asked.
#include <QString>
#include <deque>
#include <vector>

#include "ui/Dialogs.h"

namespace vk410::test {

// Records every box and answers from a queue (when empty: Ok, Yes, or
// "Не сохранять" to the question before changes are dropped).
class RecordingMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        MsgIcon icon;
        QString title;
        QString text;
        MsgButtons buttons;
    };
    std::vector<Shown> shown;
    std::vector<QString> errors;
    int beeps = 0;
    std::deque<MsgResult> answers;

    MsgResult Show(QWidget*, MsgIcon icon, const QString& title, const QString& text,
                   MsgButtons buttons) override
    {
        shown.push_back({icon, title, text, buttons});
        MsgResult answer = buttons == MsgButtons::YesNo               ? MsgResult::Yes
                           : buttons == MsgButtons::SaveDiscardCancel ? MsgResult::Discard
                                                                      : MsgResult::Ok;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        return answer;
    }
    void ShowError(const QString& text) override { errors.push_back(text); }
    void Beep() override { ++beeps; }
};

// Answers each dialog with the next queued path ("" = cancel) and records the
// directory and title it was opened with.
class ScriptedFileDialogs : public FileDialogs {
public:
    std::deque<QString> paths;
    std::vector<QString> titles;
    std::vector<QString> dirs;

    QString GetOpenFileName(QWidget*, const QString& title, const QString& dir, const QString&,
                            const QString&) override
    {
        return Next(title, dir);
    }
    QString GetSaveFileName(QWidget*, const QString& title, const QString& dir, const QString&,
                            const QString&) override
    {
        return Next(title, dir);
    }

private:
    QString Next(const QString& title, const QString& dir)
    {
        titles.push_back(title);
        dirs.push_back(dir);
        if (paths.empty())
            return {};
        QString p = paths.front();
        paths.pop_front();
        return p;
    }
};

} // namespace vk410::test
