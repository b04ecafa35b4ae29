// TFrmMain: the photo tool of the application zone.
#include "app/FrmMain.h"

#include "app/PhotoTool.h"
#include "browser/WebBrowser.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"

#include <QFrame>
#include <QImageReader>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
constexpr QSize kStartSize{110, 140};

// Every format the tool reads: JPEG first, then what QImageReader offers.
QString openPictureFilter() {
    QStringList all{QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")};
    QStringList each{QStringLiteral("JPEG Image File (*.jpg)|*.jpg;*.jpeg")};
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString f = QString::fromLatin1(format).toLower();
        if (f == u"jpg" || f == u"jpeg") continue;
        all << QStringLiteral("*.") + f;
        each << QStringLiteral("%1 Image File (*.%2)|*.%2").arg(f.toUpper(), f);
    }
    return QStringLiteral("All (%1)|%1|").arg(all.join(u';')) + each.join(u'|');
}

QFrame* photoFrame(QWidget* parent, QRect geometry) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(1);
    frame->setGeometry(geometry);
    return frame;
}

QLabel* label(const QString& text, QWidget* parent, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    return l;
}
} // namespace

void TFrmMain::buildPhotoTool() {
    Panel9 = new QWidget(Panel6);
    Panel9->setAutoFillBackground(true);
    QPalette white = Panel9->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel9->setPalette(white);
    auto* tool = new QVBoxLayout(Panel9);
    tool->setContentsMargins(0, 0, 0, 0);
    tool->setSpacing(0);

    Panel12 = new QWidget(Panel9);
    auto* top = new QVBoxLayout(Panel12);
    top->setContentsMargins(0, 0, 0, 0);
    WebBrowser3 = new WebBrowser(Panel12);
    top->addWidget(WebBrowser3);
    Panel12->setFixedHeight(120);
    tool->addWidget(Panel12);

    Panel13 = new QWidget(Panel9);
    Panel13->setFixedHeight(372);
    tool->addWidget(Panel13);
    tool->addStretch(1);

    // Source photo at its own size, clipped to a 110 by 140 frame.
    Panel10 = photoFrame(Panel13, QRect(12, 10, kStartSize.width() + 2, kStartSize.height() + 2));
    Image4 = new QLabel(Panel10);
    Image4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image4->setGeometry(1, 1, kStartSize.width(), kStartSize.height());
    // Adjusted photo: the frame follows the chosen size.
    Panel11 = photoFrame(Panel13, QRect(150, 10, kStartSize.width() + 2, kStartSize.height() + 2));
    Image5 = new QLabel(Panel11);
    Image5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image5->setGeometry(1, 1, kStartSize.width(), kStartSize.height());

    Label1 = label(QStringLiteral("原图像尺寸"), Panel13, 12, 164);
    Label3 = label(QStringLiteral("宽"), Panel13, 12, 190);
    Label4 = label(QStringLiteral("高"), Panel13, 12, 216);
    Label3->setMinimumWidth(110);
    Label4->setMinimumWidth(110);
    Label2 = label(QStringLiteral("调整后图像尺寸 "), Panel13, 150, 164);
    Label5 = label(QStringLiteral("宽"), Panel13, 150, 190);
    Label6 = label(QStringLiteral("高"), Panel13, 150, 216);
    SpinEdit1 = new TSpinEdit(70, 120, kStartSize.width(), Panel13);
    SpinEdit1->setGeometry(172, 186, 64, 22);
    SpinEdit2 = new TSpinEdit(80, 140, kStartSize.height(), Panel13);
    SpinEdit2->setGeometry(172, 212, 64, 22);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, Guarded([this] { SpinEdit1Change(); }));
    connect(SpinEdit2, &QSpinBox::valueChanged, this, Guarded([this] { SpinEdit2Change(); }));

    BitBtn2 = new TBitBtn(QStringLiteral("打开照片"), Panel13);
    BitBtn4 = new TBitBtn(QStringLiteral("清除照片"), Panel13);
    BitBtn3 = new TBitBtn(QStringLiteral("保存照片"), Panel13);
    BitBtn2->setGeometry(12, 248, 82, 26);
    BitBtn4->setGeometry(100, 248, 82, 26);
    BitBtn3->setGeometry(188, 248, 82, 26);
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { BitBtn2Click(); }));
    connect(BitBtn4, &QPushButton::clicked, this, Guarded([this] { BitBtn4Click(); }));
    connect(BitBtn3, &QPushButton::clicked, this, Guarded([this] { BitBtn3Click(); }));

    Memo1 = new QPlainTextEdit(Panel13);
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setPlainText(QStringLiteral("    第一步：用“打开照片”选择需要进\n"
                                       "行剪裁的照片。\n"
                                       "    第二步：用“保存照片”来保存调整\n"
                                       "好的图片。"));
    Memo1->setGeometry(12, 284, 268, 84);

    OpenPictureDialog1.Title = QStringLiteral("打开");
    OpenPictureDialog1.Filter = openPictureFilter();
    SavePictureDialog1.Title = QStringLiteral("另存为");
    SavePictureDialog1.Filter = QStringLiteral("JPEG Image File (*.jpg)|*.jpg");
    SavePictureDialog1.DefaultExt = QStringLiteral(".jpg");
}

void TFrmMain::setAdjustedSize(QSize size) {
    adjustedSize_ = size;
    Image5->resize(size);
    Panel11->resize(size + QSize(2, 2));
    adjusted_ = PhotoLoaded ? StretchInto(photo_, size) : QImage();
    Image5->setPixmap(QPixmap::fromImage(adjusted_));
}

void TFrmMain::BitBtn2Click() {
    if (!OpenPictureDialog1.Execute(this)) return;
    // Read before anything changes: a file that is no picture leaves the tool as it was.
    QImage picture = LoadPicture(OpenPictureDialog1.FileName);
    photo_ = std::move(picture);
    Image4->setPixmap(QPixmap::fromImage(photo_));
    PhotoLoaded = true;
    setAdjustedSize(adjustedSize_);
    Label3->setText(QStringLiteral("宽") + QString::number(photo_.width()));
    Label4->setText(QStringLiteral("高") + QString::number(photo_.height()));
}

void TFrmMain::SpinEdit1Change() {
    setAdjustedSize({SpinEdit1->value(), adjustedSize_.height()});
}

void TFrmMain::SpinEdit2Change() {
    setAdjustedSize({adjustedSize_.width(), SpinEdit2->value()});
}

void TFrmMain::BitBtn4Click() {
    photo_ = QImage();
    Image4->clear();
    // The spin boxes and the size texts keep what they show.
    PhotoLoaded = false;
    setAdjustedSize(kStartSize);
}

void TFrmMain::BitBtn3Click() {
    // An empty picture cannot be written as a JPEG; say so before asking for a name.
    if (!PhotoLoaded) {
        MessageBox(QStringLiteral("请先打开照片！"), QStringLiteral("保存照片"), MB_ICONWARNING);
        return;
    }
    if (!SavePictureDialog1.Execute(this)) return;
    SaveJpeg(adjusted_, SavePictureDialog1.FileName);
}
