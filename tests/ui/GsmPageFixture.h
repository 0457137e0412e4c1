#pragma once
// Driving the GSM page as a user does: clicks on grid cells, picks in the
// overlay lists, typing in the overlay edits.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "kit/TestDialogs.h"
#include "kit/UiTestKit.h"
#include "model/CXMGSM.h"
#include "model/Configuration.h"
#include "ui/FormGprs.h"
#include "ui/GsmGrid.h"
#include "ui/GsmPage.h"
#include "ui/widgets/MaskEdit.h"

namespace vk410::test {

inline QPoint CellCentre(TGsmGrid* grid, int col, int row)
{
    return grid->visualRect(grid->model()->index(row, col)).center();
}

inline void ClickCell(TGsmGrid* grid, int col, int row)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, col, row));
}

class GsmPageFixture : public testing::Test {
protected:
    void SetUp() override
    {
        window.resize(560, 460);
        page = new TGsmPage(cfg, msgs, &window);
        page->setGeometry(0, 0, 560, 460);
        dialog = new TfrmGPRS(cfg.gprs, &window);
        page->SetGprsDialog(dialog);
        page->InitGsmPage();
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        grdG1 = page->findChild<TGsmGrid*>("grdG1");
        grdSMS = page->findChild<TGsmGrid*>("grdSMS");
        ASSERT_TRUE(grdG1 && grdSMS);
    }

    // The module fitted, the page showing the block.
    void ModuleOn()
    {
        cfg.main.at(MainOff::state) = 1;
        page->RefreshFromBlocks();
    }

    template <typename W>
    W* Find(const char* name)
    {
        W* w = page->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QComboBox* List(const char* name) { return Find<QComboBox>(name); }
    QCheckBox* Check(const char* name) { return Find<QCheckBox>(name); }
    void ClickBox(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2)); }
    TMaskEdit* Edit(const char* name) { return Find<TMaskEdit>(name); }

    // Clicks the cell and picks the item in the list that opens over it.
    void Choose(TGsmGrid* grid, int col, int row, const char* list, const QString& item)
    {
        ClickCell(grid, col, row);
        QComboBox* box = List(list);
        ASSERT_TRUE(box->isVisible()) << list;
        const int index = box->findText(item);
        ASSERT_GE(index, 0);
        PickItem(box, index);
        ASSERT_EVENTUALLY(box->isHidden());
    }

    // Clicks the cell, replaces the editor's text by typing and presses Enter.
    void TypeInto(TGsmGrid* grid, int col, int row, const char* edit, const QString& keys)
    {
        ClickCell(grid, col, row);
        TMaskEdit* e = Edit(edit);
        ASSERT_TRUE(e->isVisible()) << edit;
        ASSERT_TRUE(e->hasFocus());
        QTest::keyClick(e, Qt::Key_End);
        QTest::keyClick(e, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, keys);
        QTest::keyClick(e, Qt::Key_Return);
    }

    std::vector<uint8_t> Bytes(std::size_t offset, std::size_t count) const
    {
        return {cfg.gsm.payload() + offset, cfg.gsm.payload() + offset + count};
    }
    QStringList Row(TGsmGrid* grid, int row) const
    {
        QStringList texts;
        for (int c = 2; c < grid->columnCount(); ++c)
            texts << grid->Cell(c, row);
        return texts;
    }

    Configuration cfg = StartupConfiguration();
    RecordingMessageBoxes msgs;
    QWidget window;
    TGsmPage* page = nullptr;
    TfrmGPRS* dialog = nullptr;
    TGsmGrid* grdG1 = nullptr;
    TGsmGrid* grdSMS = nullptr;
};

inline std::vector<uint8_t> Vec(std::initializer_list<uint8_t> bytes) { return bytes; }

} // namespace vk410::test
