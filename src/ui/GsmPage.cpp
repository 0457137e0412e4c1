#include "GsmPage.h"

#include <QSignalBlocker>

#include "model/CXMGSM.h"
#include "FormGprs.h"
#include "GsmPageImpl.h"

namespace vk410 {

namespace {

QFont PixelFont(const QWidget* w, int pixels)
{
    QFont f = w->font();
    f.setPixelSize(pixels);
    return f;
}

template <typename W>
W* Make(QWidget* parent, const char* name, int left, int top)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->move(left, top);
    return w;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    return box;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, int left, int top)
{
    auto* label = Make<QLabel>(parent, name, left, top);
    label->setText(caption);
    label->adjustSize();
    return label;
}

} // namespace

TGsmPage::Impl::Impl(TGsmPage* page, Configuration& config, MessageBoxes& boxes)
    : QObject(page), q(page), cfg(config), msgs(boxes)
{
}

void TGsmPage::Impl::BuildControls()
{
    chkCXMExist = MakeCheck(q, "chkCXMExist", QStringLiteral("Модуль КСМ подключен"), {16, 8, 193, 17});
    lbl7 = MakeLabel(q, "lbl7", QStringLiteral("Номер прибора"), 280, 8);
    medtDevNumber = new TMaskEdit(msgs, q);
    medtDevNumber->setObjectName(QStringLiteral("medtDevNumber"));
    medtDevNumber->setGeometry(400, 4, 47, 28);
    medtDevNumber->setFont(PixelFont(q, 16));
    medtDevNumber->SetEditMask(QStringLiteral("!0000;0;_"));
    chkGSM_TXON = MakeCheck(q, "chkGSM_TXON", QStringLiteral("Включить передачу по GSM"), {16, 40, 217, 17});
    chkGSM_ContrlEnbl =
        MakeCheck(q, "chkGSM_ContrlEnbl", QStringLiteral("Разрешить управление по SMS"), {280, 40, 241, 17});
    lbl11 = MakeLabel(q, "lbl11",
                      QStringLiteral("Направления доставки: (можно менять порядок перетаскиванием)"), 23, 72);
    lbl4 = MakeLabel(q, "lbl4", QStringLiteral("SMS"), 23, 248);
    chkUseGPRScfg =
        MakeCheck(q, "chkUseGPRScfg", QStringLiteral("Использовать конфигурацию GPRS"), {48, 409, 258, 15});
    btnGPRS = new QPushButton(QStringLiteral("Изменить"), q);
    btnGPRS->setObjectName(QStringLiteral("btnGPRS"));
    btnGPRS->setGeometry(328, 403, 74, 25);
    btnGPRS->hide();
    BuildGrids();
    BuildEditors();
    // Tab follows the page from top to bottom, the grids before the GPRS box below them.
    QWidget* const order[] = {chkCXMExist, medtDevNumber, chkGSM_TXON, chkGSM_ContrlEnbl, grdG1, grdSMS,
                              chkUseGPRScfg, btnGPRS};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    connect(chkCXMExist, &QCheckBox::toggled, this, [this] { chkCXMExistClick(); });
    connect(chkGSM_TXON, &QCheckBox::toggled, this, [this] { chkGSM_TXONClick(); });
    connect(chkGSM_ContrlEnbl, &QCheckBox::toggled, this, [this] { chkGSM_ContrlEnblClick(); });
    connect(chkUseGPRScfg, &QCheckBox::toggled, this, [this] { chkUseGPRScfgClick(); });
    connect(btnGPRS, &QPushButton::clicked, this, [this] { btnGPRSClick(); });
    connect(medtDevNumber, &TMaskEdit::exited, this, [this] { medtDevNumberExit(); });
    ConnectEditors();
}

void TGsmPage::Impl::BuildGrids()
{
    grdG1 = new TGsmGrid(6, 6, q);
    grdG1->setObjectName(QStringLiteral("grdG1"));
    grdG1->setGeometry(0, 94, 527, 153);
    grdG1->SetRowMoving(true);
    grdSMS = new TGsmGrid(4, 4, q);
    grdSMS->setObjectName(QStringLiteral("grdSMS"));
    grdSMS->setGeometry(0, 272, 523, 121);
    const int g1Widths[] = {50, 1, 79, 64, 90, 227};
    const int smsWidths[] = {50, 1, 235, 226};
    for (int c = 0; c < 6; ++c)
        grdG1->setColumnWidth(c, g1Widths[c]);
    for (int c = 0; c < 4; ++c)
        grdSMS->setColumnWidth(c, smsWidths[c]);
    for (TGsmGrid* grid : {grdG1, grdSMS}) {
        grid->setFont(PixelFont(q, 16));
        for (int r = 0; r < grid->rowCount(); ++r)
            grid->setRowHeight(r, 24);
    }
}

void TGsmPage::Impl::BuildEditors()
{
    const auto list = [this](const char* name, const QStringList& items) {
        auto* bx = new TDropList(q);
        bx->setObjectName(QString::fromLatin1(name));
        bx->addItems(items);
        bx->setFont(PixelFont(q, 16));
        bx->hide();
        return bx;
    };
    bxGrTryCnt = list("bxGrTryCnt", {QStringLiteral("Выкл."), QStringLiteral("1"), QStringLiteral("2"),
                                     QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")});
    bxGrSIM = list("bxGrSIM", {QStringLiteral("1,2"), QStringLiteral("1"), QStringLiteral("2")});
    bxGrType = list("bxGrType", {QStringLiteral("Voice"), QStringLiteral("CSD"), QStringLiteral("Telvex"),
                                 QStringLiteral("SIA-IP")});
    bxSMSType = list("bxSMSType", {QStringLiteral("Выключено"), QStringLiteral("Только тревоги"),
                                   QStringLiteral("Тревоги, взятия\\снятия")});
    const auto edit = [this](const char* name) {
        auto* e = new TMaskEdit(msgs, q);
        e->setObjectName(QString::fromLatin1(name));
        e->setFont(PixelFont(q, 16));
        e->hide();
        return e;
    };
    medtGrPhHst = edit("medtGrPhHst");
    medtSMSPhone = edit("medtSMSPhone");
    medtSMSPhone->SetEditMask(QStringLiteral("999999999999;1; "));
}

void TGsmPage::Impl::chkCXMExistClick()
{
    const bool on = chkCXMExist->isChecked();
    // An editor left over a hidden grid could neither be seen nor closed.
    if (!on)
        CloseOpenEditor();
    for (QWidget* w : std::initializer_list<QWidget*>{medtDevNumber, lbl7, grdG1, lbl11, grdSMS, lbl4,
                                                      chkUseGPRScfg, chkGSM_TXON, chkGSM_ContrlEnbl})
        w->setVisible(on);
    btnGPRS->setVisible(on && chkUseGPRScfg->isChecked());
    cfg.main.at(MainOff::state) = on ? 1 : 0;
}

void TGsmPage::Impl::chkGSM_TXONClick() { cfg.gsm.at(GsmOff::TXE) = chkGSM_TXON->isChecked() ? 1 : 0; }

void TGsmPage::Impl::chkGSM_ContrlEnblClick()
{
    cfg.gsm.at(GsmOff::RXE) = chkGSM_ContrlEnbl->isChecked() ? 1 : 0;
}

void TGsmPage::Impl::chkUseGPRScfgClick()
{
    const bool on = chkUseGPRScfg->isChecked();
    btnGPRS->setVisible(on);
    cfg.gsm.at(GsmOff::useGPRScfg) = on ? 1 : 0;
    if (on && gprs) {
        gprs->SelectFirstPresets();
        btnGPRSClick();
    }
}

void TGsmPage::Impl::btnGPRSClick()
{
    if (gprs)
        gprs->exec();
}

void TGsmPage::Impl::medtDevNumberExit()
{
    // Only what the user typed is stored: a number above 9999 from the panel
    // does not fit the four positions and must survive a pass through the field.
    if (!medtDevNumber->Modified())
        return;
    bool ok = false;
    const unsigned value = medtDevNumber->Text().trimmed().toUInt(&ok);
    if (ok && value <= 9999)
        SetDeviceNum(cfg.gsm, value);
}

TGsmPage::TGsmPage(Configuration& cfg, MessageBoxes& msgs, QWidget* parent)
    : QWidget(parent), d_(new Impl(this, cfg, msgs))
{
    d_->BuildControls();
    // The controls sit at fixed places; the tab page must not cut them off.
    setMinimumSize(531, 432);
}

// d_ is a child QObject of the page and goes with it.
TGsmPage::~TGsmPage() = default;

void TGsmPage::SetGprsDialog(TfrmGPRS* dialog) { d_->gprs = dialog; }

void TGsmPage::InitGsmPage()
{
    d_->grdG1->SetCell(0, 0, QStringLiteral("№"));
    d_->grdG1->SetCell(2, 0, QStringLiteral("Попытки"));
    d_->grdG1->SetCell(3, 0, QStringLiteral("SIM"));
    d_->grdG1->SetCell(4, 0, QStringLiteral("Протокол"));
    d_->grdG1->SetCell(5, 0, QStringLiteral("Телефон\\Хост"));
    d_->grdSMS->SetCell(0, 0, QStringLiteral("№"));
    d_->grdSMS->SetCell(2, 0, QStringLiteral("Передача SMS"));
    d_->grdSMS->SetCell(3, 0, QStringLiteral("Телефон"));
    for (TGsmGrid* grid : {d_->grdG1, d_->grdSMS}) {
        for (int r = 1; r < grid->rowCount(); ++r)
            grid->SetCell(0, r, QString::number(r));
        grid->setColumnWidth(1, 1);
        // A current cell from the start keeps the grid from choosing one itself
        // (and opening its editor) when it first gets the focus.
        grid->SetCurrent(1, 1);
    }
    LoadGsmDefaults(d_->cfg.gsm);
    GridGSMUpdate();
}

void TGsmPage::GridGSMUpdate()
{
    const TGsmBlock& gsm = d_->cfg.gsm;
    d_->medtDevNumber->SetText(QString::asprintf("%.4u", DeviceNum(gsm)));
    for (int n = 1; n <= kDestinationCount; ++n) {
        const int tries = DestinationTries(gsm, n);
        d_->grdG1->SetCell(2, n, d_->bxGrTryCnt->itemText(tries));
        const bool on = tries != 0;
        d_->grdG1->SetCell(3, n, on ? d_->bxGrSIM->itemText(DestinationSim(gsm, n)) : QString());
        d_->grdG1->SetCell(4, n, on ? d_->bxGrType->itemText(DestinationProtocol(gsm, n)) : QString());
        d_->grdG1->SetCell(5, n, on ? QString::fromStdString(DestinationAddressText(gsm, n)) : QString());
    }
    for (int m = 1; m <= kSmsCount; ++m) {
        const uint8_t type = gsm.at(GsmOff::smsCfg(m));
        d_->grdSMS->SetCell(2, m, type <= 2 ? d_->bxSMSType->itemText(type) : QString());
        d_->grdSMS->SetCell(3, m, type != 0 ? QString::fromStdString(SmsPhoneText(gsm, m)) : QString());
    }
    const bool useGprs = gsm.at(GsmOff::useGPRScfg) != 0;
    {
        const QSignalBlocker detached(d_->chkUseGPRScfg);
        d_->chkUseGPRScfg->setChecked(useGprs);
    }
    // The button belongs to the page's controls, which the module box hides.
    d_->btnGPRS->setVisible(useGprs && d_->chkCXMExist->isChecked());
    if (useGprs && d_->gprs)
        d_->gprs->LoadGprsTexts();
}

bool TGsmPage::ModuleConnected() const { return d_->chkCXMExist->isChecked(); }

void TGsmPage::RefreshFromBlocks()
{
    if (d_->cfg.main.at(MainOff::state) != 0) {
        d_->chkCXMExist->setChecked(true);
        GridGSMUpdate();
        d_->chkGSM_TXON->setChecked(d_->cfg.gsm.at(GsmOff::TXE) != 0);
        d_->chkGSM_ContrlEnbl->setChecked(d_->cfg.gsm.at(GsmOff::RXE) != 0);
    } else {
        d_->chkCXMExist->setChecked(false);
        d_->chkCXMExistClick();
    }
}

} // namespace vk410
