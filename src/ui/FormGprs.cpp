#include "FormGprs.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <array>

#include "model/Cp1251.h"
#include "widgets/ListWheel.h"

namespace vk410 {

namespace {

// One row of the operator presets.
struct TOperators {
    const char* name;
    const char* apn;
    const char* user;
    const char* password;
};

constexpr std::array<TOperators, 4> kOperators{{
    {"Билайн", "internet.beeline.ru", "beeline", "beeline"},
    {"МТС", "internet.mts.ru", "mts", "mts"},
    {"Tele2", "internet.tele2.ru", "", ""},
    {"Megafon", "internet", "", ""},
}};

bool Allowed(QChar c)
{
    const char16_t u = c.unicode();
    return u == '-' || u == '.' || u == '_' || (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') ||
           (u >= 'a' && u <= 'z');
}

// The key filter of the six boxes, applied to whatever the user puts in:
// typed, pasted or dropped characters outside the allowed set are dropped and
// the box stops at 31 characters. Text set by the program (from a file or the
// panel) is shown as it is; only what the user adds is filtered.
class GprsTextFilter : public QValidator {
public:
    explicit GprsTextFilter(QLineEdit* edit) : QValidator(edit)
    {
        QObject::connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) { last_ = t; });
    }

    // Texts the program sets (presets, a file, the panel) are not the user's input.
    void SetProgramText(QLineEdit* edit, const QString& text)
    {
        program_ = true;
        edit->setText(text);
        program_ = false;
    }

    State validate(QString& input, int& pos) const override
    {
        if (program_)
            return Acceptable;
        const QString& prev = last_;
        const qsizetype maxSuffix = std::min(prev.size(), std::max<qsizetype>(input.size() - pos, 0));
        qsizetype suffix = 0;
        while (suffix < maxSuffix && prev.at(prev.size() - 1 - suffix) == input.at(input.size() - 1 - suffix))
            ++suffix;
        const qsizetype maxPrefix = std::min(prev.size(), input.size()) - suffix;
        qsizetype prefix = 0;
        while (prefix < maxPrefix && prev.at(prefix) == input.at(prefix))
            ++prefix;
        const QString typed = input.mid(prefix, input.size() - prefix - suffix);
        QString added;
        for (QChar c : typed)
            if (Allowed(c))
                added.append(c);
        added.truncate(std::max<qsizetype>(qsizetype(kGprsTextMax) - prefix - suffix, 0));
        // Nothing of it let through: the selection it was typed over stays too.
        if (added.isEmpty() && !typed.isEmpty())
            return Invalid;
        input = input.left(prefix) + added + input.right(suffix);
        pos = int(prefix + added.size());
        return Acceptable;
    }

private:
    QString last_;
    bool program_ = false;
};

QFont Tahoma(int pixels)
{
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(pixels);
    return f;
}

// One of the six boxes, with its filter.
class GprsEdit : public QLineEdit {
public:
    explicit GprsEdit(QWidget* parent) : QLineEdit(parent), filter_(new GprsTextFilter(this))
    {
        setValidator(filter_);
    }
    void SetProgramText(const QString& text) { filter_->SetProgramText(this, text); }

private:
    GprsTextFilter* filter_;
};

std::string BoxText(const QLineEdit* box) { return Utf8ToCp1251(box->text().toStdString()); }

// A text from a file or the panel: a NUL would end it early inside the block,
// and the block carries no more than 31 characters.
void SetBoxText(GprsEdit* box, const std::string& cp1251)
{
    std::string text;
    for (char c : cp1251)
        if (c != '\0' && text.size() < kGprsTextMax)
            text.push_back(c);
    box->SetProgramText(QString::fromStdString(Cp1251ToUtf8(text)));
}

} // namespace

struct TfrmGPRS::Impl {
    TGprsBlock& block;
    QPushButton* btnSaveExit = nullptr;
    std::array<GprsEdit*, 2> edtAPN{};
    std::array<GprsEdit*, 2> edtUser{};
    std::array<GprsEdit*, 2> edtPass{};
    std::array<QComboBox*, 2> bxOper{};

    explicit Impl(TGprsBlock& b) : block(b) {}
    void BuildSim(QDialog* dialog, int sim);
    void ApplyPreset(int sim, int row);
};

namespace {

QLabel* Label(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

GprsEdit* Edit(QWidget* parent, const QString& name, int top)
{
    auto* edit = new GprsEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(24, top, 145, 24);
    return edit;
}

} // namespace

void TfrmGPRS::Impl::BuildSim(QDialog* dialog, int sim)
{
    const QString n = QString::number(sim + 1);
    auto* grp = new QGroupBox(QStringLiteral("SIM-карта №") + n, dialog);
    grp->setObjectName(QStringLiteral("grp") + n);
    grp->setGeometry(sim == 0 ? 8 : 208, 8, 193, 233);
    grp->setFont(Tahoma(13));
    const bool first = sim == 0;
    Label(grp, first ? "lbl2" : "lbl9", QStringLiteral("APN"), 24, 24);
    Label(grp, first ? "lbl3" : "lbl5", QStringLiteral("Пользователь"), 24, 72);
    Label(grp, first ? "lbl4" : "lbl1", QStringLiteral("Пароль"), 24, 120);
    Label(grp, first ? "lbl6" : "lbl7", QStringLiteral("Шаблон"), 24, first ? 187 : 188);
    edtAPN[std::size_t(sim)] = Edit(grp, QStringLiteral("edtAPN") + n, 40);
    edtUser[std::size_t(sim)] = Edit(grp, QStringLiteral("edtUser") + n, 88);
    edtPass[std::size_t(sim)] = Edit(grp, QStringLiteral("edtPass") + n, 136);
    auto* bx = new QComboBox(grp);
    bx->setObjectName(QStringLiteral("bxOper") + n);
    // Both lists as wide as the first: "Megafon" does not fit the narrower one.
    bx->setGeometry(80, 184, 89, 24);
    for (const TOperators& op : kOperators)
        bx->addItem(QString::fromUtf8(op.name));
    bx->setCurrentIndex(-1);
    bxOper[std::size_t(sim)] = bx;
    QObject::connect(bx, &QComboBox::activated, dialog, [this, sim](int row) { ApplyPreset(sim, row); });
}

// bxOper1Change / bxOper2Change
void TfrmGPRS::Impl::ApplyPreset(int sim, int row)
{
    if (row < 0 || row >= int(kOperators.size()))
        return;
    const TOperators& op = kOperators[std::size_t(row)];
    edtAPN[std::size_t(sim)]->SetProgramText(QString::fromUtf8(op.apn));
    edtUser[std::size_t(sim)]->SetProgramText(QString::fromUtf8(op.user));
    edtPass[std::size_t(sim)]->SetProgramText(QString::fromUtf8(op.password));
}

TfrmGPRS::TfrmGPRS(TGprsBlock& block, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), d_(new Impl(block))
{
    setObjectName(QStringLiteral("frmGPRS"));
    setWindowTitle(QStringLiteral("Параметры GPRS"));
    setFont(Tahoma(11));
    setFixedSize(496, 278);
    setModal(true);
    d_->btnSaveExit = new QPushButton(QStringLiteral("Сохранить"), this);
    d_->btnSaveExit->setObjectName(QStringLiteral("btnSaveExit"));
    d_->btnSaveExit->setGeometry(408, 16, 73, 41);
    d_->btnSaveExit->setAutoDefault(false);
    d_->BuildSim(this, 0);
    d_->BuildSim(this, 1);
    KeepWheelToFocusedLists(this);
    // btnSaveExitClick
    connect(d_->btnSaveExit, &QPushButton::clicked, this, [this] {
        BuildGprsBlock();
        accept();
    });
}

TfrmGPRS::~TfrmGPRS() { delete d_; }

void TfrmGPRS::SelectFirstPresets()
{
    for (int sim = 0; sim < 2; ++sim) {
        d_->bxOper[std::size_t(sim)]->setCurrentIndex(0);
        d_->ApplyPreset(sim, 0);
    }
}

void TfrmGPRS::LoadGprsTexts()
{
    GprsTexts texts;
    if (vk410::LoadGprsTexts(d_->block, texts))
        SetTexts(texts);
    else
        SelectFirstPresets();
}

void TfrmGPRS::BuildGprsBlock() { vk410::BuildGprsBlock(d_->block, Texts()); }

GprsTexts TfrmGPRS::Texts() const
{
    return {BoxText(d_->edtAPN[0]), BoxText(d_->edtUser[0]), BoxText(d_->edtPass[0]),
            BoxText(d_->edtAPN[1]), BoxText(d_->edtUser[1]), BoxText(d_->edtPass[1])};
}

void TfrmGPRS::SetTexts(const GprsTexts& texts)
{
    SetBoxText(d_->edtAPN[0], texts.apn1);
    SetBoxText(d_->edtUser[0], texts.user1);
    SetBoxText(d_->edtPass[0], texts.pass1);
    SetBoxText(d_->edtAPN[1], texts.apn2);
    SetBoxText(d_->edtUser[1], texts.user2);
    SetBoxText(d_->edtPass[1], texts.pass2);
}

void TfrmGPRS::reject()
{
    BuildGprsBlock();
    QDialog::accept();
}

void TfrmGPRS::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace vk410
