#pragma once
#include <QWidget>

// A thin bar between two columns that resizes its neighbour column by dragging.
// The neighbour keeps a fixed width, so code can set and read the column's
// width directly, as the window's layout logic does.
class TSplitter : public QWidget {
    Q_OBJECT
public:
    enum Side { ResizesLeft, ResizesRight };
    TSplitter(QWidget* column, Side side, QWidget* parent = nullptr);

    int MinSize = 30;

signals:
    void Moved();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QWidget* column_;
    Side side_;
    int pressX_ = 0;
    int pressWidth_ = 0;
    bool dragging_ = false;
};
