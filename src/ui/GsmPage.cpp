// Placeholder so that the window builds while the page is written; replaced in full.
#include "GsmPage.h"
namespace vk410 {
struct TGsmPage::Impl {};
TGsmPage::TGsmPage(Configuration&, MessageBoxes&, QWidget* parent) : QWidget(parent), d(new Impl) {}
TGsmPage::~TGsmPage() { delete d; }
void TGsmPage::SetGprsDialog(TfrmGPRS*) {}
void TGsmPage::InitGsmPage() {}
void TGsmPage::GridGSMUpdate() {}
void TGsmPage::RefreshFromBlocks() {}
}
