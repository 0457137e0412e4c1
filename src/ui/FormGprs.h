#pragma once
#include <QDialog>

#include "model/Gprs.h"

namespace vk410 {

// "Параметры GPRS": keeper of the six GPRS texts; builds the window's GPRS
// block from them and decodes it into them.
class TfrmGPRS : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGPRS(TGprsBlock& block, QWidget* parent = nullptr);
    ~TfrmGPRS() override;

    void SelectFirstPresets();
    void LoadGprsTexts();  // from the block; presets when it holds no settings
    void BuildGprsBlock(); // into the block

    // The one place where code without widgets takes and gives back the texts.
    GprsTexts Texts() const;
    void SetTexts(const GprsTexts& texts);

    // "Сохранить" is the only way out: a close request from the window
    // manager saves as the button does, so typed texts are never dropped.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* e) override; // Esc does not close: no cancel

private:
    struct Impl;
    Impl* d_;
};

} // namespace vk410
