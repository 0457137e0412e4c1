#pragma once
#include <QDialog>
#include <functional>
#include <vector>

#include "files/Journal.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QUrl;

namespace vk410 {

// "Журнал обмена": the journal's entries, newest first and selected. The
// window answers "Открыть" and "Сравнить с окном"; the dialog shows the folder.
class TfrmJournal : public QDialog {
    Q_OBJECT
public:
    TfrmJournal(const JournalContents& journal, const QString& folder, QWidget* parent = nullptr);

    // The selected entry's file; empty when none is selected or it keeps none.
    QString SelectedFile() const;
    // "Открыть" (and a double click) only while no exchange runs.
    void SetOpenAllowed(bool allowed);
    // The selected entry; null when none is.
    const JournalEntry* Selected() const;

    // How "Показать папку" shows a folder: the platform's file manager unless
    // a test sets another.
    std::function<bool(const QUrl&)> openUrl;

    QTableWidget* grdJournal = nullptr;
    QLabel* lblNote = nullptr; // damaged lines, an unreadable index
    QPushButton* btnOpen = nullptr;
    QPushButton* btnCompare = nullptr;
    QPushButton* btnTrace = nullptr; // the entry's record and why it failed
    QPushButton* btnFolder = nullptr;
    QPushButton* btnClose = nullptr;

signals:
    void openRequested(const QString& file);
    void compareRequested(const QString& file);

private:
    void SelectionChanged();
    void btnFolderClick();
    void btnTraceClick();

    std::vector<JournalEntry> entries_;
    QString folder_;
    bool openAllowed_ = true;
};

} // namespace vk410
