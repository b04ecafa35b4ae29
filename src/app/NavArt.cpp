#include "app/NavArt.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace art {
namespace {

struct Slot {
    const char* caption;
    const char* emblem;
};
// One emblem character per slot, picked from its caption's meaning.
const Slot kSlots[19] = {
    {"试题库", "库"},   {"试题技巧", "巧"}, {"模拟考场", "考"}, {"试题查找", "查"}, {"收藏夹", "藏"},
    {"温故知新", "温"}, {"数据备份", "备"}, {"数据还原", "还"}, {"用户设置", "设"}, {"考试网站", "网"},
    {"讨论区", "论"},   {"报考专区", "报"}, {"报名帮助", "帮"}, {"职位查询", "职"}, {"招考信息", "招"},
    {"返回主页", "返"}, {"计时模考", "时"}, {"错题复习", "复"}, {"学习统计", "统"},
};

const QColor kTop(0x2F, 0x6F, 0xB7), kMid(0x1E, 0x55, 0x9A), kBottom(0x16, 0x3F, 0x78);

QFont uiFont(int px, bool bold) {
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(px);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void fillStrip(QPainter& g, const QRect& r) {
    QLinearGradient grad(r.topLeft(), r.bottomLeft());
    grad.setColorAt(0.0, kTop);
    grad.setColorAt(0.55, kMid);
    grad.setColorAt(1.0, kBottom);
    g.fillRect(r, grad);
}

// A transparent picture of `width` x `height` logical pixels at `dpr`.
QPixmap canvas(int width, int height, qreal dpr) {
    QPixmap p(QSize(width, height) * dpr);
    p.setDevicePixelRatio(dpr);
    p.fill(Qt::transparent);
    return p;
}

} // namespace

qreal ScreenPixelRatio() {
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

QPixmap StripBackground(int width, int height, qreal dpr) {
    QPixmap p = canvas(width, height, dpr);
    QPainter g(&p);
    fillStrip(g, QRect(0, 0, width, height));
    g.setPen(QColor(255, 255, 255, 40));
    g.drawLine(0, 0, width, 0);
    g.setPen(QColor(0, 0, 0, 60));
    g.drawLine(0, height - 1, width, height - 1);
    return p;
}

QString SlotCaption(int slot) {
    return QString::fromUtf8(kSlots[slot].caption);
}

QPixmap SlotPicture(int slot, SlotLook look, qreal dpr) {
    const int w = 66, h = 74;
    QPixmap p = canvas(w, h, dpr);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setRenderHint(QPainter::TextAntialiasing);
    fillStrip(g, QRect(0, 0, w, h));

    if (look != SlotLook::Normal) {
        // A lit tab behind the emblem: soft for hover, bright for the selected slot.
        QPainterPath tab;
        tab.addRoundedRect(QRectF(3.5, 3.5, w - 7, h - 7), 6, 6);
        QLinearGradient lit(0, 0, 0, h);
        if (look == SlotLook::Selected) {
            lit.setColorAt(0, QColor(0xFF, 0xF4, 0xD6));
            lit.setColorAt(1, QColor(0xF6, 0xC8, 0x62));
        } else {
            lit.setColorAt(0, QColor(255, 255, 255, 90));
            lit.setColorAt(1, QColor(255, 255, 255, 30));
        }
        g.fillPath(tab, lit);
        g.setPen(QPen(look == SlotLook::Selected ? QColor(0xC8, 0x8A, 0x1A) : QColor(255, 255, 255, 120), 1));
        g.drawPath(tab);
    }

    // Emblem: a round badge with one character.
    const QRectF badge(w / 2.0 - 17, 7, 34, 34);
    QRadialGradient shine(badge.center() - QPointF(5, 6), 24);
    const bool selected = look == SlotLook::Selected;
    shine.setColorAt(0, selected ? QColor(0x3F, 0x86, 0xD8) : QColor(0xFF, 0xFF, 0xFF));
    shine.setColorAt(1, selected ? QColor(0x17, 0x4C, 0x92) : QColor(0xD6, 0xE6, 0xF7));
    g.setPen(QPen(selected ? QColor(0x12, 0x3C, 0x75) : QColor(0x9D, 0xBC, 0xE0), 1.2));
    g.setBrush(shine);
    g.drawEllipse(badge);
    g.setFont(uiFont(19, true));
    g.setPen(selected ? Qt::white : QColor(0x1E, 0x55, 0x9A));
    g.drawText(badge, Qt::AlignCenter, QString::fromUtf8(kSlots[slot].emblem));

    // Caption.
    g.setFont(uiFont(12, true));
    const QRectF text(0, 46, w, 22);
    if (!selected) {
        g.setPen(QColor(0, 0, 0, 110));
        g.drawText(text.translated(1, 1), Qt::AlignHCenter | Qt::AlignVCenter, SlotCaption(slot));
    }
    g.setPen(selected ? QColor(0x7A, 0x3E, 0x00) : Qt::white);
    g.drawText(text, Qt::AlignHCenter | Qt::AlignVCenter, SlotCaption(slot));
    return p;
}

QPixmap ToolPicture(const QString& words, int width, int height, bool hover, qreal dpr) {
    QPixmap p = canvas(width, height, dpr);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), 4, 4);
    QLinearGradient grad(0, 0, 0, height);
    grad.setColorAt(0, hover ? QColor(0xFF, 0xF8, 0xE4) : QColor(0xFA, 0xFC, 0xFF));
    grad.setColorAt(1, hover ? QColor(0xF7, 0xD5, 0x8A) : QColor(0xD5, 0xE4, 0xF5));
    g.fillPath(shape, grad);
    g.setPen(hover ? QColor(0xC8, 0x8A, 0x1A) : QColor(0x7F, 0x9D, 0xB9));
    g.drawPath(shape);
    g.setFont(uiFont(12, false));
    g.setPen(hover ? QColor(0x7A, 0x3E, 0x00) : QColor(0x1F, 0x3A, 0x87));
    g.drawText(QRect(0, 0, width, height), Qt::AlignCenter, words);
    return p;
}

QPixmap TreePicture(int index, qreal dpr) {
    QPixmap p = canvas(22, 20, dpr);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0: { // a source: a closed blue book
        g.setBrush(QColor(0x2F, 0x6F, 0xB7));
        g.setPen(QColor(0x16, 0x3F, 0x78));
        g.drawRoundedRect(QRectF(4.5, 2.5, 13, 15), 2, 2);
        g.fillRect(QRectF(7, 5, 8, 2), QColor(255, 255, 255, 200));
        break;
    }
    case 1: { // a subject: a green book
        g.setBrush(QColor(0x3C, 0x9A, 0x5F));
        g.setPen(QColor(0x23, 0x66, 0x3C));
        g.drawRoundedRect(QRectF(4.5, 2.5, 13, 15), 2, 2);
        g.setPen(QColor(255, 255, 255, 210));
        g.drawLine(QPointF(7.5, 6.5), QPointF(14.5, 6.5));
        g.drawLine(QPointF(7.5, 9.5), QPointF(14.5, 9.5));
        break;
    }
    default: { // a section: a sheet of questions, orange when selected
        const bool selected = index == 3;
        g.setBrush(selected ? QColor(0xFF, 0xE6, 0xA8) : QColor(0xFF, 0xFF, 0xFF));
        g.setPen(selected ? QColor(0xC8, 0x8A, 0x1A) : QColor(0x7F, 0x9D, 0xB9));
        g.drawRect(QRectF(5.5, 2.5, 11, 15));
        g.setPen(selected ? QColor(0xA0, 0x60, 0x10) : QColor(0x1F, 0x3A, 0x87));
        for (int y = 6; y <= 14; y += 3)
            g.drawLine(QPointF(7.5, y + 0.5), QPointF(14.5, y + 0.5));
        break;
    }
    }
    return p;
}

} // namespace art
