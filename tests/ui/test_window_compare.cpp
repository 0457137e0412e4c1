// The description against the controls that show each field, the comparison
// with a file and the programming sheet from the window.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QClipboard>
#include <climits>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "WindowFixture.h"
#include "files/FileOps.h"
#include "model/CXMGSM.h"
#include "model/Description.h"
#include "model/Loops.h"
#include "report/ReportHtml.h"
#include "ui/FormCompare.h"
#include "ui/FormGprs.h"
#include "ui/GsmGrid.h"

namespace vk410::test {
namespace {

// Every field away from its start-up value, each within what its control shows.
Configuration EveryFieldChanged()
{
    Configuration cfg = StartupConfiguration(1);
    const uint8_t types[] = {1, 2, 0x83, 4, 6, 7, 5, 0};
    const uint8_t events[] = {1, 222, 4, 37, 19, 26, 225, 16};
    for (int n = 1; n <= kLoopCount; ++n) {
        cfg.main.at(MainOff::type(n)) = types[n - 1];
        cfg.main.at(MainOff::cid(n)) = events[n - 1];
    }
    const std::pair<std::size_t, uint8_t> bytes[] = {
        {MainOff::in, 45}, {MainOff::out, 60},     {MainOff::qnt, 12},   {MainOff::mask, 0xFF},
        {MainOff::BLMode, 2}, {MainOff::BLLevel, 4}, {MainOff::KeyBeep, 0}, {MainOff::state, 1},
        {MainOff::alarmsends, 3}, {MainOff::restoresends, 9}};
    for (const auto& [off, value] : bytes)
        cfg.main.at(off) = value;
    SetControlTime(cfg.main, 120);
    TGsmBlock& g = cfg.gsm;
    SetDeviceNum(g, 4321);
    g.at(GsmOff::TXE) = 1;
    g.at(GsmOff::RXE) = 0;
    g.at(GsmOff::useGPRScfg) = 1;
    for (int n = 1; n <= kDestinationCount; ++n) {
        SetDestinationTries(g, 1 + n % 5, n);
        SetDestinationSim(g, n % 3, n);
        SetDestinationProtocol(g, n % 4, n);
    }
    SetDestinationPhone(g, "79161234567", 1);
    SetDestinationIp(g, "010.000.000.001:40000", 3);
    for (int m = 1; m <= kSmsCount; ++m) {
        SetSmsType(g, 1 + m % 2, m);
        SetSmsPhone(g, "7916000000" + std::to_string(m), m);
    }
    return cfg;
}

const GprsTexts kTexts{"apn.one", "user1", "pass1", "apn.two", "user2", "pass2"};

// The number that ends an item's name ("ШС3" -> 3); 0 for an item without one.
int ItemNumber(const std::string& item)
{
    return !item.empty() && item.back() >= '1' && item.back() <= '9' ? item.back() - '0' : 0;
}

class WindowCompare : public WindowFilesTest {
protected:
    void Show(const Configuration& cfg, const GprsTexts& texts)
    {
        window->Config() = cfg;
        BuildGprsBlock(window->Config().gprs, texts);
        gprs->SetTexts(texts);
        window->SelectModelQuietly(cfg.model);
        window->SetDevice(cfg.model);
        window->RefreshControls();
    }

    QString Box(const QString& name, const char* on = "да", const char* off = "нет") const
    {
        return QString::fromUtf8(Check(name)->isChecked() ? on : off);
    }

    // What the control of an entry's field shows.
    QString Shown(const DescriptionEntry& e) const
    {
        const QString f = QString::fromStdString(e.field);
        const int n = ItemNumber(e.item);
        if (e.page == "Шлейфы" && n > 0)
            return f == "Тип шлейфа" ? TypeBox(n)->currentText()
                 : f == "Код события" ? EventBox(n)->currentText()
                                      : Box(QStringLiteral("CheckBoxFire%1").arg(n));
        if (e.page == "Доп.разделы")
            return Box(QStringLiteral("ExpBox") + f, "вкл.", "выкл.");
        if (e.item.rfind("Направление", 0) == 0 || e.item.rfind("SMS", 0) == 0) {
            const bool sms = e.item[0] == 'S';
            const QStringList columns = sms ? QStringList{"Передача SMS", "Телефон"}
                                            : QStringList{"Попытки", "SIM", "Протокол", "Телефон\\Хост"};
            return Find<TGsmGrid>(sms ? "grdSMS" : "grdG1")->Cell(2 + int(columns.indexOf(f)), n);
        }
        if (e.page == "Параметры GPRS") {
            const QString kind = f == "APN" ? "edtAPN" : f == "Пользователь" ? "edtUser" : "edtPass";
            return gprs->findChild<QLineEdit*>(kind + QString::number(n))->text();
        }
        const std::map<QString, std::function<QString()>> single = {
            {"Тип прибора", [this] { return Combo("DeviceTypeList")->currentText(); }},
            {"Вход", [this] { return Edit("fldDelayIn")->text(); }},
            {"Выход", [this] { return Edit("fldDelayOut")->text(); }},
            {"Включить шину Меридиан", [this] { return Box("chkMRD"); }},
            {"Количество датчиков", [this] { return Edit("edtMRD")->text(); }},
            {"Подсветка", [this] { return Combo("bxKeyBLMode")->currentText(); }},
            {"яркость", [this] { return Edit("fldKeyBright")->text(); }},
            {"Звук при нажатии", [this] { return Combo("bxKeyBeep")->currentText(); }},
            {"Модуль КСМ подключен", [this] { return Box("chkCXMExist"); }},
            {"Номер прибора", [this] { return Edit("medtDevNumber")->text(); }},
            {"Включить передачу по GSM", [this] { return Box("chkGSM_TXON"); }},
            {"Разрешить управление по SMS", [this] { return Box("chkGSM_ContrlEnbl"); }},
            {"Использовать конфигурацию GPRS", [this] { return Box("chkUseGPRScfg"); }},
            {"Период контроля канала, сек", [this] { return Edit("RadioCheckBox")->text(); }},
            {"Число посылок по тревоге", [this] { return Edit("AlarmTxQuant")->text(); }},
            {"Число посылок по изменению", [this] { return Edit("ChangeTxQuant")->text(); }},
        };
        const auto it = single.find(f);
        return it != single.end() ? it->second() : QStringLiteral("<no control for %1>").arg(f);
    }

    // A closed dialog goes later; only a shown one counts.
    TfrmCompare* ShownComparison() const
    {
        for (TfrmCompare* dialog : window->findChildren<TfrmCompare*>(QStringLiteral("frmCompare")))
            if (dialog->isVisible())
                return dialog;
        return nullptr;
    }
    TfrmCompare* OpenedComparison() const
    {
        EXPECT_TRUE(WaitFor([this] { return ShownComparison() != nullptr; }));
        return ShownComparison();
    }
};

TEST_F(WindowCompare, EveryEntryReadsAsItsControlShowsIt)
{
    Show(EveryFieldChanged(), kTexts);
    const Description d = Describe(window->Config(), gprs->Texts());
    const std::vector<bool> changed = DiffersFromStartup(d, 1);
    for (std::size_t i = 0; i < d.size(); ++i) {
        SCOPED_TRACE(d[i].page + " / " + d[i].item + " / " + d[i].field);
        EXPECT_EQ(Shown(d[i]).toStdString(), d[i].value);
        // Only a fire loop can keep its power reset, and the model is the model.
        const bool keepsDefault = d[i].field == "Тип прибора" || d[i].field == "Сброс питания";
        EXPECT_TRUE(changed[i] || keepsDefault) << "the case leaves this field at its default";
    }
}

TEST_F(WindowCompare, ComparisonWithAFileListsTheLoopChangedInTheWindowAndChangesNothing)
{
    const QString path = PathIn(QStringLiteral("panel.cf8"));
    ASSERT_TRUE(SaveConfigFile(path, window->Config(), gprs->Texts(), 0));
    PickItem(TypeBox(4), ltDoor);
    const Configuration before = window->Config();
    const GprsTexts textsBefore = gprs->Texts();

    dialogs.paths = {path};
    Action("mnuCompareFile")->trigger();
    TfrmCompare* dialog = OpenedComparison();
    ASSERT_NE(dialog, nullptr);
    const QTableWidget* table = dialog->grdDiff;
    ASSERT_EQ(table->rowCount(), 2); // the type and its default event
    const QString row[] = {"Шлейфы / ШС4", "Тип шлейфа", "Охранный", "Дверной"};
    for (int col = 0; col < 4; ++col)
        EXPECT_EQ(table->item(0, col)->text(), row[col]);
    EXPECT_EQ(table->horizontalHeaderItem(2)->text(), QStringLiteral("panel.cf8"));
    QTest::keyClick(dialog, Qt::Key_Return); // "OK" is the default
    EXPECT_TRUE(WaitFor([this] { return !ShownComparison(); }));

    EXPECT_EQ(window->Config().main.buf, before.main.buf);
    EXPECT_EQ(window->Config().gsm.buf, before.gsm.buf);
    EXPECT_EQ(window->Config().gprs.buf, before.gprs.buf);
    EXPECT_EQ(window->ModelCode(), before.model);
    EXPECT_EQ(gprs->Texts(), textsBefore);
    EXPECT_TRUE(window->FileName().isEmpty());

    // The file as the window holds it: one line, "Совпадает".
    ASSERT_TRUE(SaveConfigFile(path, window->Config(), gprs->Texts(), 0));
    dialogs.paths = {path};
    Action("mnuCompareFile")->trigger();
    dialog = OpenedComparison();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->lblSame->isVisible());
    EXPECT_EQ(dialog->lblSame->text(), QStringLiteral("Совпадает: «panel.cf8» и «В окне»"));
    EXPECT_GE(dialog->lblSame->width(), dialog->lblSame->fontMetrics().horizontalAdvance(dialog->lblSame->text()));
    EXPECT_FALSE(dialog->grdDiff->isVisible());
    dialog->findChild<QPushButton*>(QStringLiteral("btnOK"))->click();

    dialogs.paths = {PathIn(QStringLiteral("missing.cf8"))};
    Action("mnuCompareFile")->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Файл поврежден или не найден"));
    EXPECT_EQ(ShownComparison(), nullptr);
}

TEST_F(WindowCompare, DifferencesSortCopyAndSaveAsTextAndShowWholeValues)
{
    const QString path = PathIn(QStringLiteral("panel.cf8"));
    ASSERT_TRUE(SaveConfigFile(path, window->Config(), gprs->Texts(), 0));
    Show(EveryFieldChanged(), kTexts);
    dialogs.paths = {path};
    Action("mnuCompareFile")->trigger();
    TfrmCompare* dialog = OpenedComparison();
    ASSERT_NE(dialog, nullptr);
    QTableWidget* table = dialog->grdDiff;
    ASSERT_GE(table->rowCount(), 10);
    const QString inPageOrder = dialog->RowsText(false);
    EXPECT_TRUE(inPageOrder.startsWith(QStringLiteral("Раздел\tПараметр\tpanel.cf8\tВ окне\n")));
    EXPECT_EQ(inPageOrder.count(QLatin1Char('\n')), table->rowCount() + 1);
    EXPECT_TRUE(inPageOrder.section(QLatin1Char('\n'), 1, 1).startsWith(QStringLiteral("Прибор\t")));

    // A click on a title sorts by that column; the place goes in the order of the pages.
    QHeaderView* header = table->horizontalHeader();
    const auto clickTitle = [&](int col) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(col) + header->sectionSize(col) / 2, header->height() / 2));
    };
    clickTitle(1);
    for (int row = 1; row < table->rowCount(); ++row)
        EXPECT_LE(table->item(row - 1, 1)->text(), table->item(row, 1)->text());
    clickTitle(0);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("Прибор"));
    clickTitle(0);
    EXPECT_EQ(dialog->RowsText(false).split('\n').mid(1, 1), inPageOrder.split('\n').mid(table->rowCount(), 1));

    // Ctrl+A, Ctrl+C: every row under the titles; "Сохранить..." the same into a file.
    table->setFocus();
    QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), dialog->RowsText(false));
    const QString saved = PathIn(QStringLiteral("diff.txt"));
    dialogs.paths = {saved};
    dialog->btnSave->click();
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), dialog->RowsText(false));

    // No value is cut: once laid out, each column is at least as wide as its texts.
    const QFontMetrics metrics(table->font());
    const auto narrowest = [&] {
        int room = INT_MAX;
        for (int row = 0; row < table->rowCount(); ++row)
            for (int col = 0; col < table->columnCount(); ++col)
                room = std::min(room, table->columnWidth(col) - metrics.horizontalAdvance(table->item(row, col)->text()));
        return room;
    };
    EXPECT_EVENTUALLY(narrowest() >= 0);
    dialog->accept();
}

TEST_F(WindowCompare, ExportAndPrintPutTheSheetOut)
{
    dialogs.paths = {PathIn(QStringLiteral("sheet"))};
    Action("mnuExportPdf")->trigger();
    QFile pdf(PathIn(QStringLiteral("sheet.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
    EXPECT_EQ(window->StatusText(), QStringLiteral("Отчет сохранен"));

    // Without a file the name is the model's and the date's.
    EXPECT_TRUE(dialogs.dirs.back().endsWith(
        QStringLiteral("/VK-410QZ8N %1.pdf").arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")))))
        << dialogs.dirs.back().toStdString();

    // An existing sheet is replaced only when the user says so.
    const QByteArray kept = "%PDF signed and kept";
    pdf.close();
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly | QIODevice::Truncate));
    pdf.write(kept);
    pdf.close();
    const QString cf8 = PathIn(QStringLiteral("sheet.cf8"));
    ASSERT_TRUE(SaveConfigFile(cf8, window->Config(), gprs->Texts(), 0));
    window->OpenFromOutside(cf8);
    ASSERT_EQ(window->FileName(), cf8);
    for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
        boxes.shown.clear();
        boxes.answers = {answer};
        dialogs.paths = {PathIn(QStringLiteral("sheet.pdf"))};
        Action("mnuExportPdf")->trigger();
        EXPECT_EQ(dialogs.dirs.back(), PathIn(QStringLiteral("sheet.pdf"))) << "the file's own name";
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::YesNo);
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
        EXPECT_EQ(pdf.readAll() == kept, answer == MsgResult::No);
        pdf.close();
    }

    boxes.shown.clear();
    dialogs.paths = {PathIn(QStringLiteral("no/such/folder.pdf"))};
    Action("mnuExportPdf")->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Ошибка записи файла"));

    const QString printed = PathIn(QStringLiteral("printed.pdf"));
    bool asked = false;
    window->SetPrinterQuestion([&](QWidget*, QPrinter& printer) {
        asked = true;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        return true;
    });
    Action("mnuPrint")->trigger();
    EXPECT_TRUE(asked);
    EXPECT_GT(QFileInfo(printed).size(), 1000);
}

#ifndef _WIN32 // pdftotext reads the sheet back; scripts/test-windows does it there
TEST_F(WindowCompare, TheSheetPrintsPasswordsOnlyWhenAsked)
{
    Show(EveryFieldChanged(), kTexts);
    const QString path = PathIn(QStringLiteral("sheet.pdf"));
    QAction* passwords = Action("mnuPrintPasswords");
    ASSERT_TRUE(passwords->isCheckable());
    EXPECT_FALSE(passwords->isChecked());
    for (const bool asked : {false, true}) {
        passwords->setChecked(asked);
        boxes.answers = {MsgResult::Yes};
        dialogs.paths = {path};
        Action("mnuExportPdf")->trigger();
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        ASSERT_TRUE(text.waitForFinished(60000)) << "pdftotext (poppler-utils) did not run";
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        EXPECT_TRUE(out.contains(QStringLiteral("apn.one")));
        EXPECT_EQ(out.contains(QStringLiteral("pass1")), asked);
        EXPECT_EQ(out.contains(QString::fromUtf8(kMaskedPassword)), !asked);
        EXPECT_TRUE(out.contains(QStringLiteral("Стр. 1 из ")));
    }
}
#endif

} // namespace
} // namespace vk410::test
