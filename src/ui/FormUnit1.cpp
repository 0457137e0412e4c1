#include "FormUnit1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include "files/Recovery.h"
#include "link/PanelLink.h"
#include "link/WriteSession.h"
#include "model/Devices.h"
#include "model/Loops.h"
#include "AboutUnit.h"
#include "Dialogs.h"
#include "FormGprs.h"
#include "FormMonitor.h"
#include "GsmPage.h"
#include "Icons.h"
#include "widgets/EventHook.h"
#include "widgets/ListKeys.h"
#include "widgets/ListWheel.h"

namespace vk410 {

namespace {
const QString kCaption = QStringLiteral("Программатор Varko-410 (серия N)");
constexpr int kClientWidth = 670;
constexpr int kClientHeight = 532;
// The pages are laid out in pixels for this font (9 pt at 96 dpi); the
// desktop's size would cut captions off or leave them lost in the space.
constexpr int kFontPixels = 12;
// The title bar and frame the desktop adds, which are not known before the
// window is shown.
constexpr int kFrameAllowance = 40;

// A menu command, named like every control of the window.
QAction* AddCommand(QMenu* menu, const QString& text, const char* name)
{
    QAction* command = menu->addAction(text);
    command->setObjectName(QString::fromLatin1(name));
    return command;
}
} // namespace

TForm1::TForm1(MessageBoxes& msgs, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      cfg_(StartupConfiguration()), msgs_(msgs), ownDialogs_(std::make_unique<QtFileDialogs>()),
      fileDialogs_(ownDialogs_.get()), link_(std::make_unique<PanelLink>()),
      writeSession_(std::make_unique<WriteSession>(*link_))
{
    setObjectName(QStringLiteral("Form1"));
    QFont pixels = font();
    pixels.setPixelSize(kFontPixels);
    setFont(pixels);
    BuildWindow();
    KeepWheelToFocusedLists(this);
    PassPageKeysFromLists(this, PageMain);
    FormCreate();
    ConnectLink();
    StartDocument();
}

TForm1::~TForm1()
{
    // FormDestroy: the exchange must neither report to nor read from a window
    // that is going.
    link_->Stop();
    // The handlers reach into the configuration: let no focus-out run them
    // while the members go.
    for (QObject* filter : filters_)
        delete filter;
    filters_.clear();
    delete takeCentralWidget();
}

void TForm1::BuildWindow()
{
    setWindowIcon(ProgramIcon());
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    setCentralWidget(central);

    auto* typeLabel = new QLabel(QStringLiteral("Тип прибора"), central);
    typeLabel->setGeometry(8, 8, 80, 20);
    DeviceTypeList = new QComboBox(central);
    DeviceTypeList->setObjectName(QStringLiteral("DeviceTypeList"));
    DeviceTypeList->setGeometry(90, 6, 459, 24);

    PageMain = new QTabWidget(central);
    PageMain->setObjectName(QStringLiteral("PageMain"));
    PageMain->setGeometry(8, 34, 541, 473);
    PageShlf = BuildLoopsPage();
    PageRadio = BuildRadioPage();
    PageRazd = BuildExpandersPage();
    PageKey = BuildKeypadPage();
    gsmPage_ = new TGsmPage(cfg_, msgs_, PageMain);
    gsmPage_->setObjectName(QStringLiteral("PageCXM"));
    PageMain->addTab(PageShlf, ImageListIcon(kIconPageLoops), QStringLiteral("Шлейфы"));
    PageMain->addTab(PageRadio, ImageListIcon(kIconPageRadio), QStringLiteral("Радиоканал"));
    PageMain->addTab(PageRazd, ImageListIcon(kIconPageExpanders), QStringLiteral("Доп.разделы"));
    PageMain->addTab(PageKey, ImageListIcon(kIconPageKeypad), QStringLiteral("Клавиатура"));
    PageMain->addTab(gsmPage_, ImageListIcon(kIconPageGsm), QStringLiteral("КСМ-GSM"));

    BuildRightPanel(central);
    BuildMenu();

    statusPanel_ = new QLabel(this);
    statusPanel_->setObjectName(QStringLiteral("StatusPanel"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(statusPanel_, 1);

    IndTimer = new QTimer(this);
    IndTimer->setObjectName(QStringLiteral("IndTimer"));
    IndTimer->setInterval(400);
    IndTimer->setTimerType(Qt::PreciseTimer); // steps of 400 ms, not 5 % either way

    ConnectLoopsPage();
    ConnectRadioPage();
    ConnectExpandersPage();
    ConnectKeypadPage();
    connect(DeviceTypeList, &QComboBox::activated, this, &TForm1::RecordModelSwitch);
    // A .cf8 dropped anywhere onto the window opens (FormFiles.cpp).
    setAcceptDrops(true);

    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        FitInto(screen->availableGeometry().size() - QSize(0, kFrameAllowance));
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TForm1::BuildRightPanel(QWidget* central)
{
    auto* panel = new QWidget(central);
    panel->setObjectName(QStringLiteral("PanelRight"));
    panel->setGeometry(556, 34, 108, 473);
    auto* portLabel = new QLabel(QStringLiteral("Порт"), panel);
    portLabel->setGeometry(4, 24, 100, 18);
    PortNameBox = new TDropDownBox(panel);
    PortNameBox->setObjectName(QStringLiteral("PortNameBox"));
    PortNameBox->setEditable(true);
    // Every typed text is the port's rule's to judge: no completion from the list.
    PortNameBox->setCompleter(nullptr);
    PortNameBox->setGeometry(4, 44, 100, 24);
    ButtonRead = new QPushButton(QStringLiteral("Про&читать"), panel);
    ButtonRead->setObjectName(QStringLiteral("ButtonRead"));
    ButtonRead->setGeometry(4, 90, 100, 28);
    ButtonWrite = new QPushButton(QStringLiteral("&Записать"), panel);
    ButtonWrite->setObjectName(QStringLiteral("ButtonWrite"));
    // Out of the Tab chain: no single key (Space on the focused button) writes to a panel; Alt+З does.
    ButtonWrite->setFocusPolicy(Qt::NoFocus);
    ButtonWrite->setGeometry(4, 126, 100, 28);
    BtnClose = new QPushButton(QStringLiteral("Выход"), panel);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));
    BtnClose->setGeometry(4, 438, 100, 28);
    connect(BtnClose, &QPushButton::clicked, this, &TForm1::BtnCloseClick);
}

void TForm1::BuildMenu()
{
    auto* file = menuBar()->addMenu(QStringLiteral("&Файл"));
    file->setObjectName(QStringLiteral("N1"));
    N4 = AddCommand(file, QStringLiteral("&Открыть..."), "N4");
    N4->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    N2 = AddCommand(file, QStringLiteral("&Сохранить"), "N2");
    N2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    N3 = AddCommand(file, QStringLiteral("Сохранить &как..."), "N3");
    file->addSeparator();
    mnuPrint = AddCommand(file, QStringLiteral("&Печать..."), "mnuPrint");
    mnuPrint->setShortcut(QKeySequence::Print);
    mnuExportPdf = AddCommand(file, QStringLiteral("&Экспорт в PDF..."), "mnuExportPdf");
    mnuPrintPasswords = AddCommand(file, QStringLiteral("Печатать па&роли"), "mnuPrintPasswords");
    BuildRecentFiles(file);
    file->addSeparator();
    N8 = AddCommand(file, QStringLiteral("&Выход"), "N8");
    N8->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    BuildEditMenu();
    auto* service = menuBar()->addMenu(QStringLiteral("С&ервис"));
    service->setObjectName(QStringLiteral("N9"));
    N10 = AddCommand(service, QStringLiteral("&Список шлейфов..."), "N10");
    mnuCompareDevice = AddCommand(service, QStringLiteral("Сравнить с &прибором..."), "mnuCompareDevice");
    mnuCompareFile = AddCommand(service, QStringLiteral("Сравнить с &файлом..."), "mnuCompareFile");
    service->addSeparator();
    mnuJournal = AddCommand(service, QStringLiteral("&Журнал..."), "mnuJournal");
    mnuKeepJournal = AddCommand(service, QStringLiteral("&Вести журнал"), "mnuKeepJournal");
    mnuBackupBeforeWrite =
        AddCommand(service, QStringLiteral("&Читать прибор перед записью"), "mnuBackupBeforeWrite");
    mnuMonitor = AddCommand(service, QStringLiteral("&Монитор обмена"), "mnuMonitor");
    auto* help = menuBar()->addMenu(QStringLiteral("&Помощь"));
    help->setObjectName(QStringLiteral("N5"));
    N6 = AddCommand(help, QStringLiteral("&О программе..."), "N6");
    ConnectCommand(N8, &TForm1::BtnCloseClick);
    ConnectCommand(N10, &TForm1::N10Click);
    ConnectCommand(N6, &TForm1::N6Click);
    ConnectServiceCommands();
}

void TForm1::ConnectCommand(QAction* action, void (TForm1::*command)())
{
    connect(action, &QAction::triggered, this, [this, command] {
        try {
            (this->*command)();
        } catch (const std::exception& e) {
            msgs_.ShowError(QString::fromUtf8(e.what()));
        } catch (...) {
            msgs_.ShowError(QStringLiteral("Unknown error"));
        }
    });
}

void TForm1::FormCreate()
{
    QCoreApplication::setApplicationName(kCaption);
    setWindowTitle(kCaption);
    cfg_.model = 0;
    const auto events = GetEventList();
    QStringList eventTexts;
    for (const auto& text : events)
        eventTexts << QString::fromStdString(text);
    for (int n = 1; n <= kLoopCount; ++n) {
        auto* typeBox = findChild<QComboBox*>(QStringLiteral("FShlfType%1").arg(n));
        auto* eventBox = findChild<QComboBox*>(QStringLiteral("ShlfEvent%1").arg(n));
        if (typeBox)
            TypeBoxItemsSet(typeBox);
        if (eventBox) {
            eventBox->clear();
            eventBox->addItems(eventTexts);
        }
    }
    FillPortBox();
    for (int code = 0; code < DeviceCount(); ++code)
        DeviceTypeList->addItem(QString::fromStdString(DeviceDisplayText(unsigned(code))));
    DeviceTypeList->setCurrentIndex(0);
    DeviceTypeListChange(0);
    gsmPage_->InitGsmPage();
    FillRecentFiles();
}

void TForm1::SetGprsDialog(TfrmGPRS* dialog)
{
    gprs_ = dialog;
    gsmPage_->SetGprsDialog(dialog);
}

void TForm1::SetFileDialogs(FileDialogs* dialogs)
{
    fileDialogs_ = dialogs ? dialogs : ownDialogs_.get();
    monitor_->SetFileDialogs(fileDialogs_);
}

QString TForm1::AppCaption() { return kCaption; }

void TForm1::SetStatusText(const QString& text) { statusPanel_->setText(text); }

QString TForm1::StatusText() const { return statusPanel_->text(); }

void TForm1::DeviceTypeListChange(int index)
{
    if (index < 0)
        return;
    SetDevice(unsigned(index));
    if (!LoadDefaults(cfg_.main, unsigned(index))) {
        msgs_.Show(this, MsgIcon::Error, QStringLiteral("Внутренняя ошибка 1"),
                   QStringLiteral("Ошибка. Прибор в списке не найден.:\r\nОбратитесь к разработчику"),
                   MsgButtons::Ok);
    }
    RefreshControls();
}

void TForm1::SetDevice(unsigned modelCode)
{
    if (!IsKnownModel(modelCode)) {
        // The window keeps the model it shows; an unknown code is never stored.
        msgs_.Show(this, MsgIcon::Error, QStringLiteral("Внутренняя ошибка 2"),
                   QStringLiteral("Ошибка. Прибор в списке не найден:newDevice)\r\nОбратитесь к разработчику"),
                   MsgButtons::Ok);
        return;
    }
    cfg_.model = uint8_t(modelCode);
    PageMain->show();
    ShowTab(PageShlf, true);
    PageMain->setCurrentWidget(PageShlf);
    ShowTab(PageRazd, true);
    ShowTab(PageRadio, false);
    ShowTab(PageKey, true);
    ShowTab(gsmPage_, true);
    N10->setEnabled(true);
    const bool meridian = modelCode == 1;
    chkMRD->setVisible(meridian);
    lblMRD->setVisible(meridian);
    edtMRD->setVisible(meridian);
}

void TForm1::ShowTab(QWidget* page, bool shown)
{
    // A hidden tab is still reached by Ctrl+Tab, the arrow keys and the wheel
    // on the tab bar; only a disabled one is skipped by all of them.
    const int index = PageMain->indexOf(page);
    PageMain->setTabVisible(index, shown);
    PageMain->setTabEnabled(index, shown);
}

void TForm1::SelectModelQuietly(unsigned modelCode)
{
    if (IsKnownModel(modelCode))
        DeviceTypeList->setCurrentIndex(int(modelCode));
}

// The question comes first, then the port closes with the window once a
// running exchange has ended (closeEvent).
void TForm1::BtnCloseClick() { close(); }

void TForm1::N10Click()
{
    msgs_.Show(this, MsgIcon::Information, QStringLiteral("Программатор"),
               QStringLiteral("Пока в разработке..."), MsgButtons::Ok);
}

void TForm1::N6Click() { ShowAboutBox(this); }

void TForm1::InstallFocusOutHandler(QLineEdit* edit, void (TForm1::*handler)())
{
    filters_.push_back(new EventHook(edit, [this, handler](QEvent* event) {
        if (event->type() != QEvent::FocusOut)
            return false;
        // Leaving the window or opening a popup is not leaving the edit.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        try {
            (this->*handler)();
        } catch (const std::exception& e) {
            leaveFailed_ = true;
            // Shown once the focus has moved on, not in the middle of the move,
            // and not at all when the move was the window closing.
            const QString text = QString::fromUtf8(e.what());
            QTimer::singleShot(0, this, [this, text] {
                if (isVisible())
                    msgs_.ShowError(text);
            });
        }
        return false;
    }));
}

int TForm1::CheckEditMinMax(QLineEdit* edit, int minimum, int maximum, int fallback)
{
    bool ok = false;
    const qlonglong value = edit->text().toLongLong(&ok, 10);
    if (!ok) {
        edit->setText(QString::number(fallback));
        return fallback;
    }
    if (value < minimum) {
        edit->setText(QString::number(minimum));
        return minimum;
    }
    if (value > maximum) {
        edit->setText(QString::number(maximum));
        return maximum;
    }
    return int(value);
}

int LoopNumberFromName(const QString& name, int position)
{
    if (position < 0 || position >= name.size())
        return 0;
    const int digit = name.at(position).digitValue();
    return digit >= 1 && digit <= kLoopCount ? digit : 0;
}

} // namespace vk410
