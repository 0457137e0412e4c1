#pragma once
#include <QWidget>

#include "model/Configuration.h"

namespace vk410 {

class MessageBoxes;
class TfrmGPRS;

// The page "КСМ-GSM" of the main window: the CXM module, the device number,
// the destinations and SMS grids with their overlay editors, the GSM switches.
// It edits cfg.gsm and cfg.main's `state` byte in place.
class TGsmPage : public QWidget {
    Q_OBJECT
public:
    TGsmPage(Configuration& cfg, MessageBoxes& msgs, QWidget* parent = nullptr);
    ~TGsmPage() override;

    // The dialog is created after the window; the window hands it over then.
    void SetGprsDialog(TfrmGPRS* dialog);

    void InitGsmPage();
    void GridGSMUpdate();
    // The window's refresh of this page from the blocks (CXM flag, grids, switches).
    void RefreshFromBlocks();
    // The module box ("Модуль КСМ подключен") is checked.
    bool ModuleConnected() const;

private:
    struct Impl;
    Impl* d_;
};

} // namespace vk410
