#pragma once
#include <QPixmap>
#include <QVector>

// A list of equally sized pictures, addressed by index.
class TImageList {
public:
    TImageList(int width, int height) : Width(width), Height(height) {}
    int Width;
    int Height;
    int Count() const { return static_cast<int>(images_.size()); }
    void Add(const QPixmap& p) { images_.push_back(p); }
    const QPixmap& GetBitmap(int index) const { return images_.at(index); }

private:
    QVector<QPixmap> images_;
};
