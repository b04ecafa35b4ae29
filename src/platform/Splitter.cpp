#include "platform/Splitter.h"

#include <QMouseEvent>
#include <algorithm>

TSplitter::TSplitter(QWidget* column, Side side, QWidget* parent)
    : QWidget(parent), column_(column), side_(side) {
    setFixedWidth(3);
    setCursor(Qt::SizeHorCursor);
}

void TSplitter::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    dragging_ = true;
    pressX_ = static_cast<int>(e->globalPosition().x());
    pressWidth_ = column_->width();
}

void TSplitter::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_) return;
    int dx = static_cast<int>(e->globalPosition().x()) - pressX_;
    int w = side_ == ResizesLeft ? pressWidth_ + dx : pressWidth_ - dx;
    column_->setFixedWidth(std::max(MinSize, w));
    emit Moved();
}

void TSplitter::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
}
