// The About box: version record queries, the lines it yields, the layout.
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "ui/AboutUnit.h"

namespace vk410 {
namespace {

VersionRecord Record(std::vector<std::pair<std::string, std::string>> strings)
{
    VersionRecord r;
    r.translations = {{0x0419, 0x04E3}};
    for (auto& [k, v] : strings)
        r.strings.push_back({"041904E3\\" + k, v});
    return r;
}

TEST(VersionRecord, ProgramRecordCarriesTheProjectVersion)
{
    const QString self = QCoreApplication::applicationFilePath();
    EXPECT_GT(GetFileVersionInfoSize(self), 0u);
    EXPECT_EQ(GetFileVersionInfoSize(QStringLiteral("/bin/sh")), 0u);
    EXPECT_EQ(GetFileVersionInfoSize(QString()), 0u);
    VersionRecord record;
    ASSERT_TRUE(GetFileVersionInfo(self, record));

    VersionValue value;
    ASSERT_TRUE(VerQueryValue(record, "\\VarFileInfo\\Translation", value));
    EXPECT_EQ(value.length, 4u);
    EXPECT_EQ(value.bytes, std::string("\x19\x04\xE3\x04", 4));
    ASSERT_TRUE(VerQueryValue(record, "\\StringFileInfo\\041904E3\\FileVersion", value));
    EXPECT_EQ(value.bytes, "1.3.4.0");
    EXPECT_EQ(value.length, 8u);
    ASSERT_TRUE(VerQueryValue(record, "StringFileInfo\\041904e3\\CompanyName", value));
    EXPECT_EQ(value.bytes, "Kelmarix");
    ASSERT_TRUE(VerQueryValue(record, "StringFileInfo\\041904E3\\ProductName", value));
    EXPECT_FALSE(VerQueryValue(record, "StringFileInfo\\041904E3\\Author", value));
    EXPECT_FALSE(VerQueryValue(record, "StringFileInfo\\040904B0\\ProductName", value));
    EXPECT_FALSE(VerQueryValue(record, "", value));
    EXPECT_EQ(TranslationKey(0x0419, 0x04E3), "041904E3");
    EXPECT_EQ(TranslationKey(0xABCD, 0x0001), "ABCD0001");
}

TEST(AboutLines, ProgramRecordGivesThreeLines)
{
    const AboutLines lines = AboutLinesFromRecord(ProgramVersionRecord());
    ASSERT_TRUE(lines.product);
    EXPECT_EQ(*lines.version, QStringLiteral("Версия: 1.3.4"));
    EXPECT_EQ(*lines.company, QStringLiteral("Компания: Kelmarix"));
    EXPECT_FALSE(lines.author);
}

TEST(AboutLines, ValuesAreCutAndEmptyOnesLeftOut)
{
    const AboutLines a = AboutLinesFromRecord(
        Record({{"FileVersion", "10.2.3.4"}, {"CompanyName", ""}, {"Author", "Иванов"}}));
    EXPECT_FALSE(a.product);
    EXPECT_EQ(*a.version, QStringLiteral("Версия: 10.2."));
    EXPECT_FALSE(a.company);
    EXPECT_EQ(*a.author, QStringLiteral("Автор: Иванов"));

    // Lines come from the first translation only.
    VersionRecord two = Record({{"ProductName", "X"}});
    two.translations.insert(two.translations.begin(), {0x0409, 0x04B0});
    EXPECT_FALSE(AboutLinesFromRecord(two).product);

    const AboutLines none = AboutLinesFromRecord(VersionRecord{});
    EXPECT_FALSE(none.product || none.version || none.company || none.author);
}

TEST(AboutLayout, HalvesGoToTheEvenNeighbour)
{
    const struct {
        int n, half;
    } cases[] = {{0, 0}, {2, 1}, {1, 0}, {3, 2}, {5, 2}, {7, 4}, {-1, 0}, {-3, -2}, {151, 76}, {149, 74}};
    for (const auto& c : cases)
        EXPECT_EQ(HalfRoundedToEven(c.n), c.half) << c.n;
}

TEST(AboutLayout, ProductStandsLevelWithTheIconAndTheRestFollowBelow)
{
    const AboutLayout l = ComputeAboutLayout(QSize(32, 32), {QSize(120, 17), QSize(80, 13), QSize(110, 13)},
                                             true, QSize(75, 25));
    EXPECT_EQ(l.image, QRect(10, 10, 32, 32));
    ASSERT_EQ(l.labels.size(), 3u);
    EXPECT_EQ(l.labels[0], QRect(52, 10, 120, 17));
    EXPECT_EQ(l.labels[1], QRect(52, 32, 80, 13));
    EXPECT_EQ(l.labels[2], QRect(52, 50, 110, 13));
    EXPECT_EQ(l.height, 50 + 13 + 85);
    EXPECT_EQ(l.width, 52 + 120 + 20);
    // (192 - 75) / 2 = 58.5 -> 58
    EXPECT_EQ(l.button, QRect(58, l.height - 60, 75, 25));
    // The frame takes its part of the outer size; the bevel's line runs above the button.
    EXPECT_EQ(l.client, QSize(l.width - kDialogFrame.width(), l.height - kDialogFrame.height()));
    EXPECT_EQ(l.bevel, QRect(0, l.client.height() - 45, l.client.width(), 45));
    EXPECT_LT(l.bevel.top(), l.button.top());
    EXPECT_LE(l.button.bottom(), l.client.height());
}

TEST(AboutLayout, WithoutProductTheFirstLineGoesBelowTheIcon)
{
    const AboutLayout l = ComputeAboutLayout(QSize(32, 32), {QSize(60, 13)}, false, QSize(75, 25));
    ASSERT_EQ(l.labels.size(), 1u);
    EXPECT_EQ(l.labels[0].top(), 10 + 32 + 5);
    EXPECT_EQ(l.width, 52 + 60 + 20);
    // (132 - 75) / 2 = 28.5 -> 28
    EXPECT_EQ(l.button.left(), 28);

    const AboutLayout bare = ComputeAboutLayout(QSize(32, 32), {}, false, QSize(75, 25));
    EXPECT_EQ(bare.width, 10);
    EXPECT_EQ(bare.height, 10 + 32 + 85);
    EXPECT_EQ(bare.button.left(), HalfRoundedToEven(10 - 75));
}

TEST(AboutBox, IsBuiltFromTheRecord)
{
    EXPECT_EQ(BuildAboutBox(VersionRecord{}, QStringLiteral("T")), nullptr);
    auto box = BuildAboutBox(ProgramVersionRecord(), QStringLiteral("Программатор Varko-410 (серия N)"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("О программе: Программатор Varko-410 (серия N)"));
    QStringList texts;
    for (QLabel* label : box->findChildren<QLabel*>())
        if (!label->text().isEmpty())
            texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Версия: 1.3.4")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Компания: Kelmarix")));
    EXPECT_EQ(texts.size(), 3);
    QLabel* product = box->findChild<QLabel*>(QStringLiteral("lblProduct"));
    ASSERT_NE(product, nullptr);
    EXPECT_TRUE(product->font().bold());
    EXPECT_EQ(product->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QLabel* icon = box->findChild<QLabel*>(QStringLiteral("imgIcon"));
    EXPECT_EQ(product->y(), icon->y());
    auto* ok = box->findChild<QPushButton*>(QStringLiteral("btnOk"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("Ok"));
    ok->click();
    EXPECT_EQ(box->result(), QDialog::Accepted);
}

} // namespace
} // namespace vk410
