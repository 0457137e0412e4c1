// The window right after start, model switching and the window's own boxes.
#include <QAction>
#include <QLibraryInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "WindowFixture.h"
#include "model/Errors.h"

namespace vk410::test {
namespace {

TEST_F(WindowTest, StartsWithModelZeroDefaultsShown)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Программатор Varko-410 (серия N)[*]"));
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->ModelCode(), 0);
    EXPECT_TRUE(window->FileName().isEmpty());
    const uint8_t* image = DefaultImage(0);
    for (std::size_t i = 0; i < PayloadLength(0); ++i)
        EXPECT_EQ(Byte(i), image[i]) << "payload offset " << i;

    QComboBox* models = Combo(QStringLiteral("DeviceTypeList"));
    ASSERT_EQ(models->count(), 2);
    EXPECT_EQ(models->itemText(0), QStringLiteral("VK-410QZ8N 8 шлейфов, головной прибор с передатчиком"));
    EXPECT_EQ(models->itemText(1), QStringLiteral("VK-410QZ8NL 8 шлейфов, LCD, шина Meridian"));
    EXPECT_EQ(models->currentIndex(), 0);

    auto* pages = Find<QTabWidget>(QStringLiteral("PageMain"));
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("PageShlf"));
    const QStringList tabs{QStringLiteral("Шлейфы"), QStringLiteral("Радиоканал"), QStringLiteral("Доп.разделы"),
                           QStringLiteral("Клавиатура"), QStringLiteral("КСМ-GSM")};
    ASSERT_EQ(pages->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(pages->tabText(i), tabs[i]);
    EXPECT_FALSE(pages->isTabVisible(1));
    for (int i : {0, 2, 3, 4})
        EXPECT_TRUE(pages->isTabVisible(i)) << i;

    for (const char* name : {"chkMRD", "lblMRD", "edtMRD"})
        EXPECT_FALSE(Find<QWidget>(QString::fromLatin1(name))->isVisible()) << name;

    EXPECT_EQ(TypeBox(1)->currentText(), QStringLiteral("Дверной"));
    EXPECT_EQ(EventBox(1)->currentText(), QStringLiteral("134 - ВХОД/ВЫХОД"));
    for (int n : {7, 8}) {
        EXPECT_EQ(TypeBox(n)->currentText(), QStringLiteral("Пожарный"));
        EXPECT_TRUE(FireBox(n)->isChecked());
        EXPECT_TRUE(FireBox(n)->isEnabled());
    }
    for (int n = 1; n <= 6; ++n)
        EXPECT_FALSE(FireBox(n)->isEnabled()) << n;
    EXPECT_EQ(Edit(QStringLiteral("fldDelayOut"))->text(), QStringLiteral("15"));
    EXPECT_EQ(Edit(QStringLiteral("fldDelayIn"))->text(), QStringLiteral("30"));
    EXPECT_TRUE(Edit(QStringLiteral("fldDelayIn"))->isEnabled());
    EXPECT_EQ(Combo(QStringLiteral("bxKeyBLMode"))->currentText(), QStringLiteral("Авто"));
    EXPECT_EQ(Combo(QStringLiteral("bxKeyBeep"))->currentText(), QStringLiteral("Включён"));
    EXPECT_EQ(Edit(QStringLiteral("fldKeyBright"))->text(), QStringLiteral("9"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(boxes.errors.empty());
}

TEST_F(WindowTest, EveryLoopOffersTheEightTypesWithIconsAndTheEventList)
{
    for (int n = 1; n <= kLoopCount; ++n) {
        QComboBox* type = TypeBox(n);
        ASSERT_EQ(type->count(), 8);
        EXPECT_EQ(type->itemText(0), QStringLiteral("Отключен"));
        EXPECT_EQ(type->itemText(7), QStringLiteral("Дверной"));
        for (int i = 0; i < 8; ++i)
            EXPECT_FALSE(type->itemIcon(i).isNull());
        ASSERT_EQ(EventBox(n)->count(), 178);
        EXPECT_EQ(EventBox(n)->itemText(24), QStringLiteral("137 - ТАМПЕР "));
    }
}

TEST_F(WindowTest, SecondModelShowsMeridianControlsAndLoadsItsDefaults)
{
    TypeOver(Edit(QStringLiteral("fldDelayOut")), QStringLiteral("42"));
    ASSERT_EQ(Byte(MainOff::out), 42);
    SelectModel(1);
    EXPECT_EQ(window->ModelCode(), 1);
    const uint8_t* image = DefaultImage(1);
    for (std::size_t i = 0; i < PayloadLength(1); ++i)
        EXPECT_EQ(Byte(i), image[i]) << "payload offset " << i;
    EXPECT_EQ(Edit(QStringLiteral("fldDelayOut"))->text(), QStringLiteral("15"));
    QCheckBox* mrd = Check(QStringLiteral("chkMRD"));
    EXPECT_TRUE(mrd->isVisible());
    EXPECT_FALSE(mrd->isChecked());
    EXPECT_TRUE(Find<QWidget>(QStringLiteral("lblMRD"))->isVisible());
    EXPECT_EQ(Edit(QStringLiteral("edtMRD"))->text(), QStringLiteral("0"));
    EXPECT_FALSE(Edit(QStringLiteral("edtMRD"))->isEnabled());

    SelectModel(0);
    EXPECT_EQ(window->ModelCode(), 0);
    EXPECT_FALSE(mrd->isVisible());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(WindowTest, QuietModelSelectionKeepsTheBlock)
{
    RawByte(MainOff::out) = 7;
    RawByte(MainOff::qnt) = 12;
    window->Config().model = 1;
    window->SelectModelQuietly(1);
    window->SetDevice(1);
    window->RefreshControls();
    EXPECT_EQ(Combo(QStringLiteral("DeviceTypeList"))->currentIndex(), 1);
    EXPECT_EQ(Byte(MainOff::out), 7);
    EXPECT_EQ(Byte(MainOff::qnt), 12);
    EXPECT_TRUE(Check(QStringLiteral("chkMRD"))->isChecked());
    EXPECT_EQ(Edit(QStringLiteral("edtMRD"))->text(), QStringLiteral("12"));
    EXPECT_TRUE(Edit(QStringLiteral("edtMRD"))->isEnabled());
}

TEST_F(WindowTest, UnknownModelIsRefusedAndTheWindowKeepsItsModel)
{
    window->SetDevice(2);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Внутренняя ошибка 2"));
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("Ошибка. Прибор в списке не найден:newDevice)\r\nОбратитесь к разработчику"));
    EXPECT_EQ(window->ModelCode(), 0);

    window->DeviceTypeListChange(5);
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[2].title, QStringLiteral("Внутренняя ошибка 1"));
    EXPECT_EQ(boxes.shown[2].text, QStringLiteral("Ошибка. Прибор в списке не найден.:\r\nОбратитесь к разработчику"));
    EXPECT_EQ(Byte(MainOff::alarmsends), 8);

    window->Config().model = 2;
    try {
        window->RefreshControls();
        ADD_FAILURE() << "no error for model 2";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), kDeviceNotFound);
    }
    EXPECT_THROW(window->RefreshDependence(), Error);
}

TEST_F(WindowTest, ErrorsLeavingAnEventHandlerReachTheErrorBox)
{
    QTimer::singleShot(0, window.get(), [] { throw Error(kDeviceNotFound); });
    ASSERT_TRUE(WaitFor([this] { return !boxes.errors.empty(); }));
    ASSERT_EQ(boxes.errors.size(), 1u);
    EXPECT_EQ(boxes.errors[0], QString::fromUtf8(kDeviceNotFound));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(WindowTest, LoopListMenuShowsItsInformationBox)
{
    Action("N10")->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Программатор"));
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Пока в разработке..."));
}

TEST_F(WindowTest, ExchangeAndFileControlsAreInPlace)
{
    EXPECT_EQ(Action("N4")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(Action("N2")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(Action("N3")->text(), QStringLiteral("Сохранить &как..."));
    EXPECT_TRUE(PortBox()->isEditable());
    EXPECT_EQ(IndTimer()->interval(), 400);
    EXPECT_FALSE(IndTimer()->isActive());
    EXPECT_TRUE(window->StatusText().isEmpty());
    window->SetStatusText(QStringLiteral("Порт открыт"));
    EXPECT_EQ(window->StatusText(), QStringLiteral("Порт открыт"));
}

TEST_F(WindowTest, ExitButtonClosesTheWindow)
{
    QTest::mouseClick(Button("BtnClose"), Qt::LeftButton);
    EXPECT_TRUE(WaitFor([this] { return !window->isVisible(); }));
}

TEST(ToolkitTranslation, StandardButtonsAndMenusSpeakRussianWhenItIsInstalled)
{
    auto* app = static_cast<TApplication*>(QApplication::instance());
    const auto texts = [] {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        QLineEdit edit;
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        return box.button(QMessageBox::Yes)->text() + QLatin1Char('|') + box.button(QMessageBox::No)->text() +
               QLatin1Char('|') + menu->actions().constFirst()->text().section(QLatin1Char('\t'), 0, 0);
    };
    QTemporaryDir empty;
    EXPECT_FALSE(app->LoadToolkitTranslation(empty.path()));
    EXPECT_EQ(texts(), QStringLiteral("&Yes|&No|&Undo"));
    ASSERT_TRUE(app->LoadToolkitTranslation(QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        << "qt6-translations-l10n is not installed";
    EXPECT_EQ(texts(), QStringLiteral("&Да|&Нет|&Отменить действие"));
    EXPECT_FALSE(app->LoadToolkitTranslation(empty.path()));
    EXPECT_EQ(texts(), QStringLiteral("&Yes|&No|&Undo"));
}

TEST(LoopNumberFromName, ReadsTheDigitAtItsPosition)
{
    const struct {
        const char* name;
        int position;
        int loop;
    } cases[] = {
        {"FShlfType1", 9, 1}, {"ShlfEvent8", 9, 8}, {"CheckBoxFire5", 12, 5},
        {"FShlfType9", 9, 0}, {"FShlfType0", 9, 0}, {"FShlfType", 9, 0}, {"ShlfEventX", 9, 0},
        {"FShlfType3", -1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoopNumberFromName(QString::fromLatin1(c.name), c.position), c.loop) << c.name;
}

} // namespace
} // namespace vk410::test
