#pragma once
#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "model/Configuration.h"
#include "model/Document.h"
#include "widgets/DropDownBox.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPrinter;
class QPushButton;
class QTabWidget;
class QTimer;

namespace vk410 {

class FileDialogs;
class MessageBoxes;
class PanelLink;
class QtFileDialogs;
class RecoveryCopy;
class TfrmJournal;
class WriteSession;
class TGsmPage;
class TUpDown;
class TfrmGPRS;
class TfrmMonitor;
struct CompareSide;
struct ReportSheet;
struct ExchangeResult;
struct WriteOutcome;
enum class JournalOp;
enum class WriteStep;

// The programmer's main window. It owns the configuration in memory, every
// control that shows or edits it and the panel link; each control writes its
// byte into the block the moment it changes, and RefreshControls shows the
// blocks again. The exchange (FormLink.cpp) works on a snapshot taken when it
// starts and hands its blocks back in its reports; the file commands are in
// FormFiles.cpp, the document around the configuration (changes, undo, the
// question before changes are dropped, the recovery copy) in FormDocument.cpp.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1(MessageBoxes& msgs, QWidget* parent = nullptr);
    ~TForm1() override;

    // The open and save dialogs; the platform's own unless a test sets others.
    void SetFileDialogs(FileDialogs* dialogs);
    PanelLink& Link() const { return *link_; }
    WriteSession& Writes() const { return *writeSession_; }

    Configuration& Config() { return cfg_; }
    const Configuration& Config() const { return cfg_; }
    uint8_t ModelCode() const { return cfg_.model; }
    // The file "Сохранить" replaces without asking; empty when it asks for a name.
    QString FileName() const;
    // The firmware of the panel the configuration was read from, for the sheet.
    std::optional<int> PanelVersion() const;
    MessageBoxes& Boxes() const { return msgs_; }
    // Where the configuration came from, whether it changed, its undo history.
    const Document& Doc() const { return *doc_; }

    // A file named on the command line or dropped onto the window: opened as
    // "Открыть" opens, after the question when there are changes.
    void OpenFromOutside(const QString& path);
    // At start: the copies of unsaved changes a stopped programmer left.
    void OfferRecoveryCopies();
    // A termination signal: no question; the changes stay in the recovery copy.
    void Terminate();
    // Lets the pages scroll when the screen's free area (without the window's
    // frame) is smaller than the window; changes nothing where it fits.
    void FitInto(const QSize& room);

    // The GPRS dialog is created after the window; it stays main()'s.
    void SetGprsDialog(TfrmGPRS* dialog);

    // The single text panel of the status bar.
    void SetStatusText(const QString& text);
    QString StatusText() const;
    QColor StatusBarColor() const;

    // "Программатор Varko-410 (серия N)", the caption and application title.
    static QString AppCaption();

    // Model switching and refresh.
    void DeviceTypeListChange(int index);
    void SetDevice(unsigned modelCode);
    // Sets the model list's index without loading defaults (after a read or open).
    void SelectModelQuietly(unsigned modelCode);
    void RefreshControls();
    void RefreshDependence();
    void RefreshEventByType();
    void SetShlfTypeBox(int loop, uint8_t typeByte);
    void TypeBoxItemsSet(QComboBox* box);

    // The exchange.
    void ButtonReadClick();
    void ButtonWriteClick();
    void SendData(bool isWrite);
    void ExchangeReport(int code, int value, const ExchangeResult& result);
    // A read or a write (with its backup and rollback) has started and not ended.
    bool ExchangeRunning() const;
    // The process's exit status: 1 when the window closed after waiting for an
    // exchange that failed, else 0.
    int ExitStatus() const { return closeWaited_ && lastExchangeFailed_ ? 1 : 0; }
    // Whether the main block's radio bytes came from a panel (a read), so
    // that a write sends them as they are instead of the panel's own.
    bool RadioFromPanel() const { return doc_->RadioFromPanel(); }
    void StartIndicator(const QColor& colour, int count);
    void IndTimerTimer();
    void PortNameBoxChange(const QString& text);
    void PortNameBoxDropDown();
    // A port text that names no device refuses the exchange, with the port box.
    bool PortTextUnderstood();

    // The file menu.
    void N4Click();
    void N2Click();
    void N3Click();
    // "Правка".
    void mnuUndoClick();
    void mnuRedoClick();

    void BtnCloseClick();
    void N10Click();
    void N6Click();

    // The comparison and the programming sheet (FormService.cpp).
    void mnuCompareDeviceClick();
    void mnuCompareFileClick();
    void mnuJournalClick();
    void mnuKeepJournalClick(bool checked);
    void mnuBackupBeforeWriteClick(bool checked);
    void mnuMonitorClick();
    TfrmMonitor* Monitor() const { return monitor_; }
    // Why the last exchange failed: the status bar's tooltip and the monitor's foot.
    QString Diagnosis() const;
    void mnuPrintClick();
    void mnuExportPdfClick();
    // Asks where to print; the platform's print dialog unless a test sets another.
    using PrinterQuestion = std::function<bool(QWidget* parent, QPrinter& printer)>;
    void SetPrinterQuestion(PrinterQuestion question);

    // CheckEditMinMax of the number edits: the value the edit holds after the rule.
    static int CheckEditMinMax(QLineEdit* edit, int minimum, int maximum, int fallback);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void StartDocument();
    void FillPortBox();
    void ConnectLink();
    void ShowTab(QWidget* page, bool shown);
    void SetExchangeControlsEnabled(bool enabled);
    void PaintStatusBar(const QColor& colour);
    void ReportOutcome(int code, int value, const ExchangeResult& result, bool comparing);
    void WriteFinished(const WriteOutcome& outcome);
    void ShowWriteOutcome(const WriteOutcome& outcome);
    void ShowPortFailed();
    void ExchangeEnded(bool failed);
    void BeginExchange();
    void SetDiagnosis(const QString& text);
    void KeepWriteStep(WriteStep step, int code, const ExchangeResult& result);
    GprsTexts DialogTexts() const;
    bool CommitFocusedEditor();
    void ReturnFocus(QWidget* widget);
    bool OpenConfig(const QString& path, const DocumentOrigin& origin);
    bool OpenFile(const QString& path);
    void OpenRecent(QAction* action);
    void RememberFile(const QString& path);
    bool SaveDocument();
    bool SaveDocumentAs();
    // The one question before changes are dropped; true: go on.
    bool MayDropChanges();
    // No exchange whose result would land on it, and no change dropped unasked.
    bool MayReplaceDocument();
    DocumentContent Current() const;
    void NoteChanges(QWidget* editor = nullptr);
    void ScheduleChangeCheck();
    bool WatchInput(QObject* target, QEvent* event);
    bool HandleFileDrag(QObject* target, QEvent* event);
    void StepThroughHistory(bool (Document::*step)());
    void ShowDocument();
    void UpdateDocumentState();
    void KeepRecoveryCopy();
    void DropRecoveryCopy();
    void RecordModelSwitch(int index);
    // Puts what apply brings into the window as one step from origin.
    bool ArriveFrom(const std::function<bool()>& apply, const DocumentOrigin& origin);
    bool ApplyConfigFile(const QString& path);
    void RecordExchange(int code, bool comparing, const ExchangeResult& result);
    void ShowConfiguration(const Configuration& cfg, const GprsTexts& texts);
    // A journal entry's exact bytes, radio settings included.
    bool OpenExactBytes(const QString& path);
    // "Ошибка чтения файла" with the rejection text, and why where it is known.
    void ShowFileRejected(const QString& why);
    void KeepInJournal(int code, const ExchangeResult& result, JournalOp op, const GprsTexts& sentTexts);
    void OpenJournalEntry(const QString& file, QDialog* journal);
    void CompareJournalEntry(const QString& file, const QString& title, QWidget* journal);
    bool OpenComparisonSide(const QString& path, CompareSide& side);
    bool SaveTo(const QString& path);
    void BuildWindow();
    void BuildMenu();
    void BuildEditMenu();
    void BuildRecentFiles(QMenu* file);
    void FillRecentFiles();
    void ConnectServiceCommands();
    // A menu command whose exception ends in the error box at the connection:
    // thrown on through Qt's own frames it would skip their clean-up.
    void ConnectCommand(QAction* action, void (TForm1::*command)());
    QString AskConfigFile(const QString& title);
    void ShowPanelComparison(const ExchangeResult& result);
    // The dialog goes with parent (the window when none); the number of fields that differ.
    int ShowComparison(const CompareSide& other, QWidget* parent = nullptr);
    ReportSheet Report() const;
    QString SuggestedPdfPath() const;
    void BuildRightPanel(QWidget* central);
    QWidget* BuildLoopsPage();
    QWidget* BuildRadioPage();
    QWidget* BuildExpandersPage();
    QWidget* BuildKeypadPage();
    void ConnectLoopsPage();
    void ConnectRadioPage();
    void ConnectExpandersPage();
    void ConnectKeypadPage();
    void InstallFocusOutHandler(QLineEdit* edit, void (TForm1::*handler)());
    void InstallMrdInputFilter();
    void RefreshSpins();
    void RefreshKeypad();
    void RefreshGsm();
    void RefreshMeridian();
    uint8_t& LoopType(int loop) { return cfg_.main.at(MainOff::type(loop)); }

    // Loops page.
    void TypeChange(QComboBox* box);
    void ExpEventChange(QComboBox* box);
    void ExpFireResetChange(QCheckBox* box);
    void fldDelayInChange();
    void fldDelayOutChange();
    void chkMRDClick();
    void edtMRDExit();
    // Radio page.
    void RadioCheckBoxChange();
    void RadioCheckBoxExit();
    void AlarmTxQuantChange();
    void ChangeTxQuantChange();
    // Expanders page.
    void ExpQZ8OnOff(QCheckBox* box);
    // Keypad page.
    void bxKeyBLModeChange(int index);
    void bxKeyBeepChange(int index);
    void udKeyBLLevelChanging(int position);

    // A command that puts another configuration into the window: what the
    // controls do meanwhile is no edit of the user's.
    class Replacing {
    public:
        explicit Replacing(int& depth) : depth_(depth) { ++depth_; }
        ~Replacing() { --depth_; }
        Replacing(const Replacing&) = delete;
        Replacing& operator=(const Replacing&) = delete;

    private:
        int& depth_;
    };

    // Controls that the wiring connects; tests find them by name like the others.
    QPushButton* ButtonRead = nullptr;
    QPushButton* ButtonWrite = nullptr;
    TDropDownBox* PortNameBox = nullptr;
    QPushButton* BtnClose = nullptr;
    QAction* N4 = nullptr; // "&Открыть..."
    QAction* N2 = nullptr; // "&Сохранить"
    QAction* N3 = nullptr; // "Сохранить &как..."
    QAction* N8 = nullptr; // "Выход"
    QAction* N10 = nullptr; // "Список шлейфов..."
    QAction* N6 = nullptr;  // "О программе..."
    QAction* mnuPrint = nullptr;         // "Печать..."
    QAction* mnuExportPdf = nullptr;     // "Экспорт в PDF..."
    QAction* mnuPrintPasswords = nullptr; // "Печатать пароли", checkable
    QAction* mnuCompareDevice = nullptr; // "Сравнить с прибором..."
    QAction* mnuCompareFile = nullptr;   // "Сравнить с файлом..."
    QAction* mnuJournal = nullptr;       // "Журнал..."
    QAction* mnuKeepJournal = nullptr;   // "Вести журнал", checkable
    QAction* mnuBackupBeforeWrite = nullptr; // "Читать прибор перед записью", checkable
    QAction* mnuMonitor = nullptr;       // "Монитор обмена"
    TfrmMonitor* monitor_ = nullptr;     // the window's child, hidden until asked for
    QAction* mnuUndo = nullptr;          // "Отменить"
    QAction* mnuRedo = nullptr;          // "Повторить"
    QAction* recentSeparator_ = nullptr;
    std::array<QAction*, 8> mnuRecent{}; // "Файл": the files last opened or saved
    QTimer* IndTimer = nullptr;

    Configuration cfg_;
    MessageBoxes& msgs_;
    std::unique_ptr<Document> doc_;
    std::unique_ptr<RecoveryCopy> recovery_;
    QTimer* recoveryTimer_ = nullptr;
    bool copyKept_ = false;
    bool terminating_ = false;
    int replacing_ = 0;             // a command is replacing the configuration: no edit is noted
    bool checkPending_ = false;
    unsigned editGroup_ = 0;        // typing into one edit is one step
    QPointer<QWidget> groupWidget_; // the edit of the open group
    QPointer<TfrmJournal> journal_;
    QPointer<QWidget> exchangeStarter_; // gets the focus back when the exchange ends
    QPointer<QWidget> parkedFocus_;
    std::vector<QObject*> filters_;
    bool leaveFailed_ = false; // a leave handler failed during CommitFocusedEditor
    std::unique_ptr<QtFileDialogs> ownDialogs_;
    FileDialogs* fileDialogs_ = nullptr;
    TfrmGPRS* gprs_ = nullptr;
    std::unique_ptr<PanelLink> link_;
    std::unique_ptr<WriteSession> writeSession_;
    bool closePending_ = false;        // a close waits for the exchange to end
    bool closeWaited_ = false;         // the window closed after such a wait
    bool lastExchangeFailed_ = false;
    bool compareRead_ = false;          // the running read is a comparison's
    GprsTexts exchangeTexts_;           // the texts the running exchange was given
    PrinterQuestion askPrinter_;

    // The status-bar blink.
    QColor indShow_;
    QColor indRestore_;
    int indCount_ = 0;

    QComboBox* DeviceTypeList = nullptr;
    QTabWidget* PageMain = nullptr;
    QWidget* PageShlf = nullptr;
    QWidget* PageRadio = nullptr;
    QWidget* PageRazd = nullptr;
    QWidget* PageKey = nullptr;
    TGsmPage* gsmPage_ = nullptr;
    QLabel* statusPanel_ = nullptr;

    std::array<QComboBox*, kLoopCount> FShlfType{};
    std::array<QComboBox*, kLoopCount> ShlfEvent{};
    std::array<QCheckBox*, kLoopCount> CheckBoxFire{};
    std::array<QCheckBox*, kLoopCount> ExpBox{};
    QLineEdit* fldDelayIn = nullptr;
    QLineEdit* fldDelayOut = nullptr;
    TUpDown* ctrDelayIn = nullptr;
    TUpDown* ctrDelayOut = nullptr;
    QCheckBox* chkMRD = nullptr;
    QLabel* lblMRD = nullptr;
    QLineEdit* edtMRD = nullptr;

    QLineEdit* RadioCheckBox = nullptr;
    QLineEdit* AlarmTxQuant = nullptr;
    QLineEdit* ChangeTxQuant = nullptr;
    TUpDown* RadioCheckSpin = nullptr;
    TUpDown* AlarmTxQuantSpin = nullptr;
    TUpDown* ChangeTxQuantSpin = nullptr;

    QComboBox* bxKeyBLMode = nullptr;
    QLineEdit* fldKeyBright = nullptr;
    TUpDown* udKeyBLLevel = nullptr;
    QComboBox* bxKeyBeep = nullptr;
};

// The loop number in a repeated control's name: the digit at the given
// position ("FShlfType3" at 9 -> 3); 0 when there is no digit 1..8 there.
int LoopNumberFromName(const QString& name, int position);

} // namespace vk410
