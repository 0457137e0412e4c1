// Placeholder so that the window builds while the dialog is written; replaced in full.
#include "FormGprs.h"
namespace vk410 {
struct TfrmGPRS::Impl {};
TfrmGPRS::TfrmGPRS(TGprsBlock&, QWidget* parent) : QDialog(parent), d(new Impl) {}
TfrmGPRS::~TfrmGPRS() { delete d; }
void TfrmGPRS::SelectFirstPresets() {}
void TfrmGPRS::LoadGprsTexts() {}
void TfrmGPRS::BuildGprsBlock() {}
GprsTexts TfrmGPRS::Texts() const { return {}; }
void TfrmGPRS::SetTexts(const GprsTexts&) {}
}
