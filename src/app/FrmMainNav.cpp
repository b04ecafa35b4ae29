// TFrmMain: the navigation strip, the mode switch and the collapse button.
#include "app/FrmMain.h"

#include "browser/WebBrowser.h"
#include "platform/AppFolder.h"
#include "platform/Application.h"

const QPixmap& TFrmMain::SlotBitmap(int slot, int look) const {
    if (slot < kFirstAddedSlot)
        return (look == 2 ? ImageList2 : look == 3 ? ImageList3 : ImageList1).GetBitmap(slot);
    return (look == 2 ? ImageList6 : look == 3 ? ImageList7 : ImageList5).GetBitmap(slot - kFirstAddedSlot);
}

void TFrmMain::buildNavStrip() {
    // Each picture is 67 wide and starts 66 after the previous: neighbours overlap by one pixel.
    // The added slots continue the normal row after slot 11.
    for (int first : {0, 12, kFirstAddedSlot}) {
        int x = first == kFirstAddedSlot ? 12 * 66 : 0;
        const int end = first == 0 ? 12 : first == 12 ? 16 : kSlotCount;
        for (int slot = first; slot < end; ++slot) {
            auto* image = new TImage(Panel3);
            image->Tag = slot;
            image->setGeometry(x, 0, 67, 75);
            image->setPixmap(SlotBitmap(slot, 1));
            x += image->width() - 1;
            connect(image, &TImage::MouseMove, this, Guarded([this](TImage* i) { ActMouseMoveExecute(i); }));
            connect(image, &TImage::MouseLeave, this,
                    Guarded([this](TImage* i) { ActMouseLeaveExecute(i); }));
            connect(image, &TImage::Click, this, Guarded([this](TImage* i) { ActClickExecute(i); }));
            if (slot == 3) image->setToolTip(QStringLiteral("试题查找 (Ctrl+F)"));
            image->setVisible(slot < 12);
            NavImages[static_cast<size_t>(slot)] = image;
        }
    }
    NavImages[0]->SetPicture(ImageList3.GetBitmap(0));
    showAddedSlots();
}

void TFrmMain::showAddedSlots() {
    for (int slot = kFirstAddedSlot; slot < kSlotCount; ++slot) {
        TImage* image = NavImages[static_cast<size_t>(slot)];
        if (!image) return;
        // The added slots hide first when the strip is narrow: never over the banner.
        image->setVisible(!ZoneMode && SlotCommands[static_cast<size_t>(slot)] &&
                          image->x() + image->width() <= Panel3->width());
    }
}

void TFrmMain::ActMouseMoveExecute(TImage* image) {
    if (HoverShown || ClickPending) return;
    image->SetPicture(SlotBitmap(image->Tag, 2));
    HoverShown = true;
}

void TFrmMain::ActMouseLeaveExecute(TImage* image) {
    if (HoverShown && !ClickPending)
        image->SetPicture(SlotBitmap(image->Tag, image->Tag == CurrentNavSlot ? 3 : 1));
    ClickPending = false;
    HoverShown = false;
}

void TFrmMain::ActClickExecute(TImage* image) {
    const int slot = image->Tag;
    // A running timed exam is left only when the user agrees, before anything changes.
    if (SlotLeavesPage(slot) && !ConfirmLeaveTimedExam()) return;
    if (slot != CurrentNavSlot) {
        NavImages[static_cast<size_t>(CurrentNavSlot)]->SetPicture(SlotBitmap(CurrentNavSlot, 1));
        image->SetPicture(SlotBitmap(slot, 3));
        CurrentNavSlot = slot;
        ClickPending = true;
    }
    ++commandDepth_;
    const struct Done {
        int& depth;
        ~Done() { --depth; }
    } done{commandDepth_};
    if (const auto& command = SlotCommands[static_cast<size_t>(slot)]) command();
}

void TFrmMain::SetMenu(bool show) {
    ZoneMode = !show;
    for (int slot = 0; slot < 16; ++slot)
        NavImages[static_cast<size_t>(slot)]->setVisible(slot < 12 ? show : !show);
    // A collapsed column opens for the photo tool and closes again on leaving:
    // the tree comes back as the user left it.
    const bool collapsed = BitBtn1->Tag == 1;
    if (collapsed) Panel6->setFixedWidth(show ? BitBtn1->width() : Panel6->Tag);
    TreeView1->setVisible(show && !collapsed);
    BitBtn1->setVisible(show);
    CoolBar1->setVisible(show);
    Panel9->setVisible(!show);
    Header3->setVisible(!show);
    if (show) {
        Header1->setText(QStringLiteral("试题目录"));
        Panel6->setVisible(true);
        WebBrowser1->Navigate(AppFolder() + "css/Question.html");
        setPanel3Width(true);
    } else {
        Header1->setText(QStringLiteral("照片剪裁"));
        NavImages[12]->SetPicture(ImageList3.GetBitmap(12));
        setPanel3Width(false);
    }
    showAddedSlots();
}

void TFrmMain::BitBtn1Click() {
    if (BitBtn1->Tag == 0) {
        Panel6->Tag = Panel6->width();
        // The tree's minimum width would otherwise push the button half out of sight.
        TreeView1->hide();
        Panel6->setFixedWidth(BitBtn1->width());
        BitBtn1->setText(QStringLiteral(">>"));
        BitBtn1->Tag = 1;
    } else {
        Panel6->setFixedWidth(Panel6->Tag);
        TreeView1->show();
        BitBtn1->setText(QStringLiteral("<<"));
        BitBtn1->Tag = 0;
    }
}
