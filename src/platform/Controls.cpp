#include "platform/Controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

TImage::TImage(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setScaledContents(true);
}

void TImage::SetPicture(const QPixmap& p) {
    setPixmap(p);
    repaint();
}

void TImage::mouseMoveEvent(QMouseEvent* e) {
    emit MouseMove(this);
    QLabel::mouseMoveEvent(e);
}

void TImage::enterEvent(QEnterEvent* e) {
    emit MouseMove(this);
    QLabel::enterEvent(e);
}

void TImage::leaveEvent(QEvent* e) {
    emit MouseLeave(this);
    QLabel::leaveEvent(e);
}

void TImage::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit Click(this);
    QLabel::mouseReleaseEvent(e);
}

TToolButton::TToolButton(const TImageList* images, const TImageList* hotImages, int imageIndex,
                         QWidget* parent)
    : QToolButton(parent), images_(images), hot_(hotImages), imageIndex_(imageIndex) {
    setAutoRaise(true);
    setIconSize(QSize(images->Width, images->Height));
    setFocusPolicy(Qt::NoFocus);
    showPicture();
}

void TToolButton::SetImageIndex(int index) {
    imageIndex_ = index;
    showPicture();
}

void TToolButton::showPicture() {
    const TImageList* list = hover_ && hot_ ? hot_ : images_;
    if (imageIndex_ >= 0 && imageIndex_ < list->Count()) setIcon(QIcon(list->GetBitmap(imageIndex_)));
}

void TToolButton::enterEvent(QEnterEvent* e) {
    hover_ = true;
    showPicture();
    QToolButton::enterEvent(e);
}

void TToolButton::leaveEvent(QEvent* e) {
    hover_ = false;
    showPicture();
    QToolButton::leaveEvent(e);
}

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent) {
    auto* layout = new QVBoxLayout(this);
    for (const QString& item : items) {
        auto* b = new QRadioButton(item, this);
        layout->addWidget(b);
        buttons_.push_back(b);
    }
    layout->addStretch(1);
    if (!buttons_.isEmpty()) buttons_.front()->setChecked(true);
}

int TRadioGroup::ItemIndex() const {
    for (int i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked()) return i;
    return -1;
}

void TRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < buttons_.size()) buttons_[index]->setChecked(true);
}

TSpinEdit::TSpinEdit(int minValue, int maxValue, int value, QWidget* parent) : QSpinBox(parent) {
    setRange(minValue, maxValue);
    setValue(value);
}

namespace {
bool allDigits(const QString& text) {
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (!c.isDigit()) return false;
    return true;
}
} // namespace

QValidator::State TSpinEdit::validate(QString& input, int& pos) const {
    const QValidator::State state = QSpinBox::validate(input, pos);
    // A number past the range is kept while typing; fixup brings it in.
    if (state == QValidator::Invalid && allDigits(input.trimmed())) return QValidator::Intermediate;
    return state;
}

void TSpinEdit::fixup(QString& input) const {
    bool ok = false;
    const qlonglong typed = input.trimmed().toLongLong(&ok);
    if (allDigits(input.trimmed()))
        input = QString::number(ok ? std::clamp<qlonglong>(typed, minimum(), maximum()) : maximum());
    else
        QSpinBox::fixup(input);
}

TColorPanel::TColorPanel(QWidget* parent) : QFrame(parent), color_(Qt::white) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(1);
}

void TColorPanel::SetColor(const QColor& c) {
    color_ = c;
    update();
}

void TColorPanel::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.fillRect(contentsRect(), color_);
    p.end();
    QFrame::paintEvent(e);
}

void TColorPanel::mouseReleaseEvent(QMouseEvent* e) {
    QFrame::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit Click(this);
}

TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
    }
    connect(up_, &QToolButton::clicked, this, [this] { emit UpClick(this); });
    connect(down_, &QToolButton::clicked, this, [this] { emit DownClick(this); });
}

void TUpDown::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}
