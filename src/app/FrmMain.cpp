// TFrmMain: construction of the window's layout.
#include "app/FrmMain.h"

#include "app/NavArt.h"
#include "browser/ExternalContainer.h"
#include "browser/WebBrowser.h"
#include "exam/TimedExam.h"
#include "platform/Application.h"
#include "platform/Splitter.h"
#include "store/DataModule.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace {
QFont pixelFont(const char* family, int px) {
    QFont f(QString::fromUtf8(family));
    f.setPixelSize(px);
    return f;
}

QLabel* makeHeader(const char* text, QWidget* parent) {
    auto* h = new QLabel(QString::fromUtf8(text), parent);
    h->setFont(pixelFont("楷体_GB2312", 19));
    h->setFrameShape(QFrame::Panel);
    h->setFrameShadow(QFrame::Raised);
    h->setFixedHeight(27);
    h->setContentsMargins(4, 0, 0, 0);
    return h;
}

QVBoxLayout* column(QWidget* w) {
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    return l;
}

QHBoxLayout* row(QWidget* w) {
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    return l;
}
} // namespace

TFrmMain::TFrmMain(QWidget* parent) : QMainWindow(parent) {
    setFont(pixelFont("宋体", 14));
    resize(1263, 734);
    buildLayout();
    SlotCommands[0] = [this] { ActShiTiKuExecute(); };
    SlotCommands[1] = [this] { ActShiTiJiQiaoExecute(); };
    SlotCommands[2] = [this] { ActMLKCExecute(); };
    SlotCommands[3] = [this] { ActSTCZExecute(); };
    SlotCommands[4] = [this] { ActSCJSTExecute(); };
    SlotCommands[5] = [this] { ActWGZXExecute(); };
    SlotCommands[6] = [this] { ActShuJuBeiFenExecute(); };
    SlotCommands[7] = [this] { ActShuJuHuanYuanExecute(); };
    SlotCommands[8] = [this] { ActYHSZExecute(); };
    SlotCommands[9] = [this] { ActKSWZExecute(); };
    SlotCommands[10] = [this] { ActTLQExecute(); };
    SlotCommands[11] = [this] { ActBKZQExecute(); };
    SlotCommands[12] = [this] { ActBMBZExecute(); };
    SlotCommands[13] = [this] { ActZWCXExecute(); };
    SlotCommands[14] = [this] { ActZKXXExecute(); };
    SlotCommands[15] = [this] { ActFHZYExecute(); };
    SlotCommands[16] = [this] { ActJSMKExecute(); };
    SlotCommands[17] = [this] { ActCTFXExecute(); };
    SlotCommands[18] = [this] { ActXXTJExecute(); };
}

TFrmMain::~TFrmMain() {
    timedExam_.reset();
    if (DataModule1 == dataModule_.get()) DataModule1 = nullptr;
}

void TFrmMain::buildLayout() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = column(central);

    // Top strip: background picture with the navigation panel and the banner over it.
    Panel1 = new QWidget(central);
    Panel1->setFixedHeight(75);
    outer->addWidget(Panel1);
    Panel2 = new QWidget(Panel1);
    row(Panel1)->addWidget(Panel2);
    Image2 = new QLabel(Panel2);
    Image2->setScaledContents(true);
    Image2->lower();
    auto* strip = row(Panel2);
    Panel3 = new TPanel(Panel2);
    Image3 = new QLabel(Panel3);
    Image3->setScaledContents(true);
    Panel4 = new QWidget(Panel2);
    Image1 = new QLabel(Panel4);
    Image1->setScaledContents(true);
    Image1->hide();
    WebBrowser4 = new WebBrowser(Panel4);
    row(Panel4)->addWidget(WebBrowser4);
    strip->addWidget(Panel3);
    strip->addWidget(Panel4, 1);

    // Below: left column | splitter | centre | splitter | right column.
    Panel5 = new QWidget(central);
    outer->addWidget(Panel5, 1);
    auto* body = row(Panel5);

    Panel6 = new TPanel(Panel5);
    Panel6->setFixedWidth(290);
    auto* left = column(Panel6);
    Header1 = makeHeader("试题目录", Panel6);
    left->addWidget(Header1);
    auto* treeRow = new QWidget(Panel6);
    auto* treeLayout = row(treeRow);
    TreeView1 = new TTreeView(treeRow);
    TreeView1->setHeaderHidden(true);
    TreeView1->setIndentation(25);
    TreeView1->setIconSize(QSize(22, 20));
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->viewport()->installEventFilter(this);
    BitBtn1 = new TBitBtn(QStringLiteral("<<"), treeRow);
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    BitBtn1->setFixedWidth(17);
    BitBtn1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    treeLayout->addWidget(TreeView1, 1);
    treeLayout->addWidget(BitBtn1);
    // The photo tool takes the tree's place: zone mode hides the tree and shows it.
    buildPhotoTool();
    Panel9->hide();
    treeLayout->addWidget(Panel9, 1);
    left->addWidget(treeRow, 1);

    Panel7 = new QWidget(Panel5);
    auto* centre = column(Panel7);
    Header3 = makeHeader("公务员招考信息", Panel7);
    Header3->hide();
    centre->addWidget(Header3);
    CoolBar1 = new QWidget(Panel7);
    CoolBar1->setFixedHeight(29);
    centre->addWidget(CoolBar1);
    buildToolBars();
    WebBrowser1 = new WebBrowser(Panel7);
    centre->addWidget(WebBrowser1, 1);

    Panel8 = new QWidget(Panel5);
    Panel8->setFixedWidth(192);
    auto* right = column(Panel8);
    Header2 = makeHeader("资源信息", Panel8);
    right->addWidget(Header2);
    WebBrowser2 = new WebBrowser(Panel8);
    right->addWidget(WebBrowser2, 1);
    buildTimedExam();
    buildReview();
    buildPractice();
    buildWriting();

    Splitter1 = new TSplitter(Panel6, TSplitter::ResizesLeft, Panel5);
    Splitter2 = new TSplitter(Panel8, TSplitter::ResizesRight, Panel5);
    body->addWidget(Panel6);
    body->addWidget(Splitter1);
    body->addWidget(Panel7, 1);
    body->addWidget(Splitter2);
    body->addWidget(Panel8);

    // The strip's background pictures follow their panels.
    Panel2->installEventFilter(this);
    Panel3->installEventFilter(this);
    Panel4->installEventFilter(this);
}

void TFrmMain::fitToolBars() {
    if (!CountdownLabel) return; // the window is still being built
    auto* row = static_cast<QHBoxLayout*>(CoolBar1->layout());
    int needed = row->contentsMargins().left() + row->contentsMargins().right();
    int shown = 0;
    for (QWidget* w : {ToolBar1, ToolBar4, ToolBar3, ToolBar2, static_cast<QWidget*>(CountdownLabel)})
        if (!w->isHidden()) {
            needed += w->sizeHint().width();
            ++shown;
        }
    needed += ToolBar5->sizeHint().width() + shown * row->spacing();
    const bool fits = needed <= CoolBar1->width();
    if (fits == ToolBar5->isHidden()) ToolBar5->setVisible(fits);
}

void TFrmMain::buildPictures() {
    for (int slot = 0; slot < 16; ++slot) {
        ImageList1.Add(art::SlotPicture(slot, art::SlotLook::Normal));
        ImageList2.Add(art::SlotPicture(slot, art::SlotLook::Hover));
        ImageList3.Add(art::SlotPicture(slot, art::SlotLook::Selected));
    }
    // Image 16 of the normal list is the top strip's background.
    ImageList1.Add(art::StripBackground(ImageList1.Width, ImageList1.Height));
    for (int slot = kFirstAddedSlot; slot < kSlotCount; ++slot) {
        ImageList5.Add(art::SlotPicture(slot, art::SlotLook::Normal));
        ImageList6.Add(art::SlotPicture(slot, art::SlotLook::Hover));
        ImageList7.Add(art::SlotPicture(slot, art::SlotLook::Selected));
    }
    for (int i = 0; i < 4; ++i)
        ImageList4.Add(art::TreePicture(i));

    auto fill = [](TImageList& normal, TImageList& hot, std::initializer_list<const char*> words) {
        for (const char* w : words) {
            normal.Add(art::ToolPicture(QString::fromUtf8(w), normal.Width, normal.Height, false));
            hot.Add(art::ToolPicture(QString::fromUtf8(w), hot.Width, hot.Height, true));
        }
    };
    fill(ToolBar1Images, ToolBar1HotImages, {"放大", "缩小"});
    fill(ToolBar4Images, ToolBar4HotImages, {"重新答题", "批阅试卷", "全屏显示", "退出全屏"});
    fill(ToolBar3Images, ToolBar3HotImages, {"显示全部答案", "隐藏全部答案"});
    fill(ToolBar2Images, ToolBar2HotImages, {"界面设置", "打印试题", "试题过滤"});
    fill(ToolBar5Images, ToolBar5HotImages, {"练习模式", "退出练习"});
}

void TFrmMain::buildToolBars() {
    buildPictures();
    auto* bars = row(CoolBar1);
    bars->setSpacing(6);
    bars->setContentsMargins(4, 2, 4, 2);
    auto bar = [&](QWidget*& holder) {
        holder = new QWidget(CoolBar1);
        auto* l = row(holder);
        l->setSpacing(2);
        bars->addWidget(holder);
        return l;
    };
    auto button = [&](QHBoxLayout* l, TImageList& images, TImageList& hot, int index,
                      void (TFrmMain::*handler)()) {
        auto* b = new TToolButton(&images, &hot, index, l->parentWidget());
        connect(b, &QToolButton::clicked, this, Guarded([this, b, handler] {
                    if (b->Running) return;
                    b->Running = true;
                    ++commandDepth_;
                    const auto done = qScopeGuard([this, b] {
                        b->Running = false;
                        --commandDepth_;
                    });
                    (this->*handler)();
                }));
        l->addWidget(b);
        return b;
    };
    auto* l1 = bar(ToolBar1);
    ToolButton2 = button(l1, ToolBar1Images, ToolBar1HotImages, 0, &TFrmMain::ToolButton2Click);
    ToolButton3 = button(l1, ToolBar1Images, ToolBar1HotImages, 1, &TFrmMain::ToolButton3Click);
    auto* l4 = bar(ToolBar4);
    ToolButton9 = button(l4, ToolBar4Images, ToolBar4HotImages, 2, &TFrmMain::ToolButton9Click);
    ToolButton8 = button(l4, ToolBar4Images, ToolBar4HotImages, 1, &TFrmMain::ToolButton8Click);
    ToolButton5 = button(l4, ToolBar4Images, ToolBar4HotImages, 0, &TFrmMain::ToolButton5Click);
    auto* l3 = bar(ToolBar3);
    ToolButton1 = button(l3, ToolBar3Images, ToolBar3HotImages, 0, &TFrmMain::ToolButton1Click);
    auto* l2 = bar(ToolBar2);
    ToolButton4 = button(l2, ToolBar2Images, ToolBar2HotImages, 0, &TFrmMain::ToolButton4Click);
    ToolButton6 = button(l2, ToolBar2Images, ToolBar2HotImages, 1, &TFrmMain::ToolButton6Click);
    ToolButton7 = button(l2, ToolBar2Images, ToolBar2HotImages, 2, &TFrmMain::ToolButton7Click);
    auto* l5 = bar(ToolBar5);
    ToolButton10 = button(l5, ToolBar5Images, ToolBar5HotImages, 0, &TFrmMain::ToolButton10Click);
    ToolButton10->setToolTip(QStringLiteral("练习模式：选中选项即判对错，并显示答案和解析"));
    // The row's minimum stays what the described bars ask: ours goes first when narrow.
    ToolBar5->setMinimumWidth(1);
    ToolBar5->hide();
    CoolBar1->installEventFilter(this);
    bars->addStretch(1);
    buildShortcuts();
}

bool TFrmMain::eventFilter(QObject* watched, QEvent* event) {
    // A right click opens the context menu and leaves the selection (and so
    // the page it stands for) alone; the menu acts on the node under the pointer.
    if (watched == TreeView1->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
        return true;
    if (watched == TreeView1->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // Runs after the press has moved the selection, for every click in the tree.
        bool handled = QMainWindow::eventFilter(watched, event);
        TreeView1Click();
        return handled;
    }
    if (event->type() == QEvent::Resize) {
        // Only the strip's own width decides the mode's widths. Panel4 also
        // resizes when the mode switch changes Panel3, before the new slot is set.
        if (watched == CoolBar1) fitToolBars();
        if (watched == Panel2)
            FormResize();
        else if (watched == Panel4)
            Image1->setGeometry(0, 0, Panel4->width(), Panel4->height());
        else if (watched == Panel3)
            Image3->setGeometry(0, 0, Panel3->width(), Panel3->height());
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrmMain::closeEvent(QCloseEvent* e) {
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose)
        e->accept();
    else
        e->ignore();
}
