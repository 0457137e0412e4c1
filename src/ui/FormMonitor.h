#pragma once
// "Монитор обмена": the exchange as it runs, frame by frame, and the last one
// after it; its diagnosis at the foot. A window of its own beside the main
// one, never modal. It only reads the records: nothing it does reaches the
// line, and it takes new entries off a timer, a few at a time, so the event
// loop that serves the exchange never waits on it.
#include <QDialog>
#include <memory>
#include <vector>

#include "link/ExchangeRecord.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

namespace vk410 {

class FileDialogs;
class MessageBoxes;

class TfrmMonitor : public QDialog {
    Q_OBJECT
public:
    TfrmMonitor(FileDialogs* files, MessageBoxes& msgs, QWidget* parent = nullptr);
    void SetFileDialogs(FileDialogs* files) { files_ = files; }

    // A read or a write (with its backup and rollback) begins: the records
    // shown so far give way to its own.
    void BeginOperation();
    void AddRecord(std::shared_ptr<const ExchangeRecord> record);
    // The cause of the failure in words; empty when the operation did not fail.
    void SetDiagnosis(const QString& text);

    // The records shown, as text: a line an entry, the diagnosis last.
    QString Text() const;
    // Takes what the records gained since the last look (the timer calls it).
    void Refresh();

    QTableWidget* grdMonitor = nullptr;
    QLabel* lblDiagnosis = nullptr;
    QPushButton* btnCopy = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Shown {
        std::shared_ptr<const ExchangeRecord> record;
        std::size_t rows = 0; // entries already in the table
    };
    void AddHeading(const ExchangeRecord& record);
    void AddRow(const RecordEntry& entry);
    void btnCopyClick();
    void btnSaveClick();

    FileDialogs* files_;
    MessageBoxes& msgs_;
    std::vector<Shown> records_;
    QTimer* timer_ = nullptr;
};

} // namespace vk410
