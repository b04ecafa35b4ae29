#include "platform/Controls.h"

#include <QMouseEvent>

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

TToolButton::TToolButton(const TImageList* images, const TImageList* hotImages, int imageIndex, QWidget* parent)
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
