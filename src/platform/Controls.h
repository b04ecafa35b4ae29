#pragma once
// Small widgets with the extra state the program keeps on its controls: a
// Tag, a picture from an image list, and the pointer events the handlers use.
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QVector>
#include <QWidget>

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

class TPanel : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    int Tag = 0;
};

class TBitBtn : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
    int Tag = 0;
};

class TTreeView : public QTreeWidget {
    Q_OBJECT
public:
    using QTreeWidget::QTreeWidget;
    int Tag = 0;
};

// A group box of radio buttons with the index of the chosen one.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);
    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const { return buttons_.at(index); }

private:
    QVector<QRadioButton*> buttons_;
};

// A picture control that reports pointer moves, leaving and clicks.
class TImage : public QLabel {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);
    int Tag = 0;
    void SetPicture(const QPixmap& p);

signals:
    void MouseMove(TImage* sender);
    void MouseLeave(TImage* sender);
    void Click(TImage* sender);

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// A tool button showing picture ImageIndex of its bar's list, and the same
// index of the hover list while the pointer is over it.
class TToolButton : public QToolButton {
    Q_OBJECT
public:
    TToolButton(const TImageList* images, const TImageList* hotImages, int imageIndex,
                QWidget* parent = nullptr);
    int Tag = 0;
    // Set while the button's command runs: a command that waits for a long
    // page must not start again under itself.
    bool Running = false;
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);

protected:
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void showPicture();
    const TImageList* images_;
    const TImageList* hot_;
    int imageIndex_;
    bool hover_ = false;
};

// A spin box that takes any number typed and brings it into its range when it
// loses focus; a plain QSpinBox refuses the keystroke instead, so "200" typed
// into a box that stops at 120 would end as "20".
class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    TSpinEdit(int minValue, int maxValue, int value, QWidget* parent = nullptr);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

// A flat panel filled with one colour that reports clicks (a colour swatch).
class TColorPanel : public QFrame {
    Q_OBJECT
public:
    explicit TColorPanel(QWidget* parent = nullptr);
    int Tag = 0;
    QColor Color() const { return color_; }
    void SetColor(const QColor& c);

signals:
    void Click(TColorPanel* sender);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QColor color_;
};

// A spin button: an up arrow over a down arrow, without a value of its own.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);
    int Tag = 0;
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    void UpClick(TUpDown* sender);
    void DownClick(TUpDown* sender);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};
