// The program file's own resources on Windows: the version record the About
// box reads and the icon, both generated from what the Linux build uses.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <windows.h>

#include "ui/AboutUnit.h"
#include "ui/ProgramIcon.h"

namespace vk410 {
namespace {

TEST(VersionResource, CarriesTheTextsOfTheGeneratedRecord)
{
    VersionRecord file;
    ASSERT_TRUE(GetFileVersionInfo(QCoreApplication::applicationFilePath(), file));
    EXPECT_FALSE(file.block.empty());
    for (const auto& [key, text] : ProgramVersionRecord().strings) {
        VersionValue value;
        ASSERT_TRUE(VerQueryValue(file, "\\StringFileInfo\\" + key, value)) << key;
        EXPECT_EQ(value.bytes, text) << key; // the Cyrillic description too, whatever the ANSI code page
        EXPECT_EQ(value.length, QString::fromStdString(value.bytes).size() + 1) << key;
    }
    const AboutLines lines = AboutLinesFromRecord(file);
    EXPECT_EQ(lines.product, QStringLiteral("Vedu VK410"));
    EXPECT_EQ(lines.version, QStringLiteral("Версия: 1.3.4"));
    EXPECT_EQ(lines.company, QStringLiteral("Компания: Kelmarix"));
    EXPECT_FALSE(lines.author);
    EXPECT_EQ(GetFileVersionInfoSize(QStringLiteral("C:/no/such/program.exe")), 0u);
}

// A user's folder may hold letters no ANSI code page has ("Әлия" in none of them).
TEST(VersionResource, IsReadFromAFolderNamedOutsideTheAnsiCodePage)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Әлия ВК410"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString copy = folder + QStringLiteral("/vedu-vk410.exe");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), copy));
    EXPECT_GT(GetFileVersionInfoSize(copy), 0u);
    VersionRecord record;
    ASSERT_TRUE(GetFileVersionInfo(copy, record));
    EXPECT_EQ(AboutLinesFromRecord(record).version, QStringLiteral("Версия: 1.3.4"));
}

TEST(IconResource, IsTheIconTheWindowDraws)
{
    for (int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        const QImage got = QImage::fromHICON(icon).convertToFormat(QImage::Format_ARGB32);
        DestroyIcon(icon);
        const QImage want = ProgramIconImage(size).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(got.size(), want.size());
        int worst = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QRgb a = got.pixel(x, y), b = want.pixel(x, y);
                for (int d : {qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b), qAlpha(a) - qAlpha(b)})
                    worst = std::max(worst, std::abs(d));
            }
        EXPECT_LE(worst, 2) << size; // rounding of the alpha channel only
    }
}

} // namespace
} // namespace vk410
