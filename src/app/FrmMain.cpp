// TFrmMain: construction of the window's layout.
#include "app/FrmMain.h"

#include "app/StripArt.h"
#include "browser/WebBrowser.h"
#include "platform/Splitter.h"
#include "store/DataModule.h"

#include <QCloseEvent>
#include <QHBoxLayout>
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
}

TFrmMain::~TFrmMain() {
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
    Panel3 = new QWidget(Panel2);
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

    Panel6 = new QWidget(Panel5);
    Panel6->setFixedWidth(290);
    auto* left = column(Panel6);
    Header1 = makeHeader("试题目录", Panel6);
    left->addWidget(Header1);
    auto* treeRow = new QWidget(Panel6);
    auto* treeLayout = row(treeRow);
    TreeView1 = new QTreeWidget(treeRow);
    TreeView1->setHeaderHidden(true);
    BitBtn1 = new QPushButton(QStringLiteral("<<"), treeRow);
    BitBtn1->setFixedWidth(17);
    BitBtn1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    treeLayout->addWidget(TreeView1, 1);
    treeLayout->addWidget(BitBtn1);
    left->addWidget(treeRow, 1);
    Panel9 = new QWidget(Panel6);
    auto* photo = column(Panel9);
    WebBrowser3 = new WebBrowser(Panel9);
    WebBrowser3->setFixedHeight(120);
    photo->addWidget(WebBrowser3);
    photo->addStretch(1);
    Panel9->hide();
    left->addWidget(Panel9, 1);

    Panel7 = new QWidget(Panel5);
    auto* centre = column(Panel7);
    Header3 = makeHeader("公务员招考信息", Panel7);
    Header3->hide();
    centre->addWidget(Header3);
    CoolBar1 = new QWidget(Panel7);
    CoolBar1->setFixedHeight(29);
    centre->addWidget(CoolBar1);
    WebBrowser1 = new WebBrowser(Panel7);
    centre->addWidget(WebBrowser1, 1);

    Panel8 = new QWidget(Panel5);
    Panel8->setFixedWidth(192);
    auto* right = column(Panel8);
    Header2 = makeHeader("资源信息", Panel8);
    right->addWidget(Header2);
    WebBrowser2 = new WebBrowser(Panel8);
    right->addWidget(WebBrowser2, 1);

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

void TFrmMain::buildImageLists() {
    // Slot pictures join these lists with the navigation strip; image 16 of the
    // normal list is the strip's background.
    while (ImageList1.Count() < 16) ImageList1.Add(QPixmap());
    ImageList1.Add(StripBackground(ImageList1.Width, ImageList1.Height));
}

bool TFrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == Panel2 || watched == Panel4) FormResize();
        else if (watched == Panel3) Image3->setGeometry(0, 0, Panel3->width(), Panel3->height());
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrmMain::closeEvent(QCloseEvent* e) {
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose) e->accept();
    else e->ignore();
}
