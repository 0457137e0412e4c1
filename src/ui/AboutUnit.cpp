#include "AboutUnit.h"

#include <QCoreApplication>
#include <algorithm>
#include <QDialog>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "Icons.h"

namespace vk410 {

namespace {

const QSize kButtonSize(75, 25);

std::optional<QString> Query(const VersionRecord& record, const std::string& key,
                             const std::string& name)
{
    VersionValue value;
    if (!VerQueryValue(record, "StringFileInfo\\" + key + "\\" + name, value) || value.length <= 1)
        return std::nullopt;
    return QString::fromStdString(value.bytes);
}

std::optional<std::string> FirstTranslationKey(const VersionRecord& record)
{
    VersionValue value;
    if (!VerQueryValue(record, "\\VarFileInfo\\Translation", value) || value.bytes.size() < 4)
        return std::nullopt;
    const auto byte = [&](int i) { return uint16_t(static_cast<unsigned char>(value.bytes[size_t(i)])); };
    return TranslationKey(uint16_t(byte(0) | byte(1) << 8), uint16_t(byte(2) | byte(3) << 8));
}

// A raised line along the top edge.
class Bevel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(0, 0, width() - 1, 0);
        p.setPen(palette().color(QPalette::Dark));
        p.drawLine(0, 1, width() - 1, 1);
    }
};

QLabel* AddLabel(QDialog* box, const QString& text, bool product)
{
    auto* label = new QLabel(text, box);
    if (product) {
        label->setObjectName(QStringLiteral("lblProduct"));
        QFont font = label->font();
        font.setPointSize(10);
        font.setBold(true);
        label->setFont(font);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, QColor(0, 0, 128));
        label->setPalette(pal);
    }
    label->adjustSize();
    return label;
}

} // namespace

AboutLines AboutLinesFromRecord(const VersionRecord& record)
{
    AboutLines lines;
    const auto key = FirstTranslationKey(record);
    if (!key)
        return lines;
    lines.product = Query(record, *key, "ProductName");
    if (auto v = Query(record, *key, "FileVersion"))
        lines.version = QStringLiteral("Версия: ") + v->left(5);
    if (auto v = Query(record, *key, "CompanyName"))
        lines.company = QStringLiteral("Компания: ") + *v;
    if (auto v = Query(record, *key, "Author"))
        lines.author = QStringLiteral("Автор: ") + *v;
    return lines;
}

int HalfRoundedToEven(int n)
{
    // n / 2 is exact for even n; for odd n it lies halfway between two integers.
    const int lower = n >= 0 ? n / 2 : (n - 1) / 2;
    if (n % 2 == 0)
        return lower;
    return lower % 2 == 0 ? lower : lower + 1;
}

AboutLayout ComputeAboutLayout(QSize imageSize, const std::vector<QSize>& labelSizes,
                               bool productShown, QSize buttonSize, QSize frame)
{
    AboutLayout layout;
    layout.image = QRect(QPoint(10, 10), imageSize);
    const int textX = layout.image.left() + imageSize.width() + 10;
    QRect last = layout.image;
    for (size_t i = 0; i < labelSizes.size(); ++i) {
        const bool levelWithLast = productShown && i == 0;
        const int top = levelWithLast ? last.top() : last.top() + last.height() + 5;
        last = QRect(QPoint(textX, top), labelSizes[i]);
        layout.labels.push_back(last);
    }
    layout.height = last.top() + last.height() + 85;
    layout.width = 10;
    for (const QRect& r : layout.labels)
        layout.width = std::max(layout.width, r.left() + r.width() + 20);
    const int left = HalfRoundedToEven(layout.width - buttonSize.width());
    layout.button = QRect(QPoint(left, layout.height - 60), buttonSize);
    layout.client = QSize(std::max(1, layout.width - frame.width()), std::max(1, layout.height - frame.height()));
    const int bevelHeight = buttonSize.height() + 20;
    layout.bevel = QRect(0, layout.client.height() - bevelHeight, layout.client.width(), bevelHeight);
    return layout;
}

std::unique_ptr<QDialog> BuildAboutBox(const VersionRecord& record, const QString& appTitle,
                                       QWidget* parent)
{
    if (!FirstTranslationKey(record))
        return nullptr;
    auto box = std::make_unique<QDialog>(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                                     Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->setWindowTitle(QStringLiteral("О программе: ") + appTitle);

    auto* image = new QLabel(box.get());
    image->setObjectName(QStringLiteral("imgIcon"));
    image->setPixmap(ProgramIconPixmap());
    image->adjustSize();

    const AboutLines lines = AboutLinesFromRecord(record);
    std::vector<QLabel*> labels;
    for (const auto* line : {&lines.product, &lines.version, &lines.company, &lines.author})
        if (*line)
            labels.push_back(AddLabel(box.get(), **line, line == &lines.product));
    std::vector<QSize> sizes;
    for (QLabel* label : labels)
        sizes.push_back(label->size());

    const AboutLayout layout =
        ComputeAboutLayout(image->size(), sizes, lines.product.has_value(), kButtonSize);
    image->setGeometry(layout.image);
    for (size_t i = 0; i < labels.size(); ++i)
        labels[i]->setGeometry(layout.labels[i]);

    auto* bevel = new Bevel(box.get());
    bevel->setGeometry(layout.bevel);
    auto* ok = new QPushButton(QStringLiteral("Ok"), box.get());
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setGeometry(layout.button);
    ok->setCursor(Qt::PointingHandCursor);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, box.get(), &QDialog::accept);

    box->setFixedSize(layout.client);
    return box;
}

void ShowAboutBox(QWidget* parent)
{
    const QString path = QCoreApplication::applicationFilePath();
    if (GetFileVersionInfoSize(path) == 0)
        return;
    VersionRecord record;
    if (!GetFileVersionInfo(path, record))
        return;
    auto box = BuildAboutBox(record, QCoreApplication::applicationName(), parent);
    if (!box)
        return;
    if (const QScreen* screen = box->screen())
        box->move(screen->availableGeometry().center() - box->rect().center());
    box->exec();
}

} // namespace vk410
