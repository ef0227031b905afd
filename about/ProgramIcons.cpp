#include "about/ProgramIcons.h"

#include <QIconEngine>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <utility>

namespace vantrel {

namespace {

// Draws an image into the square `box` of a painter that is already antialiased.
using Artwork = void (*)(QPainter& p, const QRectF& box);

// An icon engine that paints its artwork at the exact size asked for, so no size is a blurred
// scaling of another. The disabled look is a faded grey of the normal one.
class PaintedIconEngine final : public QIconEngine {
  public:
    explicit PaintedIconEngine(Artwork art) : art_(art) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QSize square = actualSize(rect.size(), mode, state);
        QRect target(QPoint(0, 0), square);
        target.moveCenter(rect.center());
        QPixmap image = pixmap(square * scale, mode, state);
        image.setDevicePixelRatio(scale);
        painter->drawPixmap(target, image);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }

    // Exactly `size` in device pixels; QIcon itself marks the pixel ratio of the result.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const int side = std::max(1, std::min(size.width(), size.height()));
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            art_(p, QRectF(0, 0, side, side));
        }
        if (mode == QIcon::Disabled)
            Fade(image);
        return QPixmap::fromImage(std::move(image));
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
    }

    QIconEngine* clone() const override { return new PaintedIconEngine(art_); }
    QString key() const override { return QStringLiteral("VantrelPainted"); }

  private:
    static void Fade(QImage& image) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int grey = qGray(line[x]);
                line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 45 / 100);
            }
        }
    }

    Artwork art_;
};

QIcon Painted(Artwork art) {
    return QIcon(new PaintedIconEngine(art));
}

// Artwork is laid out on a 24-unit grid; U converts grid units to pixels of `box`.
struct Grid {
    explicit Grid(const QRectF& box) : origin(box.topLeft()), unit(box.width() / 24.0) {}
    qreal U(qreal units) const { return units * unit; }
    QPointF P(qreal x, qreal y) const { return origin + QPointF(U(x), U(y)); }
    QRectF R(qreal x, qreal y, qreal w, qreal h) const { return {P(x, y), QSizeF(U(w), U(h))}; }
    // An outline at least one pixel wide, so it stays visible at 16 pixels.
    QPen Outline(const QColor& c, qreal units = 1.0) const {
        QPen pen(c, std::max(1.0, U(units)));
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setCapStyle(Qt::RoundCap);
        return pen;
    }

    QPointF origin;
    qreal unit;
};

// Mid-tone fills with a dark rim read on light and on dark backgrounds alike.
const QColor kRim(0x20, 0x28, 0x30);

void DrawCheck(QPainter& p, const QRectF& box) {
    const Grid g(box);
    QPainterPath tick;
    tick.moveTo(g.P(3.5, 12.5));
    tick.lineTo(g.P(9.5, 18.5));
    tick.lineTo(g.P(20.5, 5.5));
    p.setBrush(Qt::NoBrush);
    p.setPen(g.Outline(kRim, 5.5));
    p.drawPath(tick);
    p.setPen(g.Outline(QColor(0x3C, 0xC0, 0x50), 3.2));
    p.drawPath(tick);
}

void DrawClear(QPainter& p, const QRectF& box) {
    const Grid g(box);
    // An eraser lying at an angle, its working end pale, then a wiped stroke under it.
    p.save();
    p.translate(g.P(12, 11));
    p.rotate(-35);
    const QRectF body(-g.U(9), -g.U(4.5), g.U(18), g.U(9));
    p.setPen(g.Outline(kRim));
    p.setBrush(QColor(0xE8, 0x5A, 0x8A));
    p.drawRoundedRect(body, g.U(2), g.U(2));
    p.setBrush(QColor(0xF2, 0xF2, 0xF2));
    p.drawRoundedRect(QRectF(-g.U(9), -g.U(4.5), g.U(7), g.U(9)), g.U(2), g.U(2));
    p.restore();
    p.setPen(g.Outline(QColor(0x8A, 0x9B, 0xB0), 1.6));
    p.drawLine(g.P(4, 21.5), g.P(20, 21.5));
}

void DrawPause(QPainter& p, const QRectF& box) {
    const Grid g(box);
    p.setPen(g.Outline(kRim));
    p.setBrush(QColor(0x3A, 0x8E, 0xE6));
    p.drawRoundedRect(g.R(5, 4, 5, 16), g.U(1), g.U(1));
    p.drawRoundedRect(g.R(14, 4, 5, 16), g.U(1), g.U(1));
}

void DrawStart(QPainter& p, const QRectF& box) {
    const Grid g(box);
    QPainterPath play;
    play.moveTo(g.P(6, 3.5));
    play.lineTo(g.P(20.5, 12));
    play.lineTo(g.P(6, 20.5));
    play.closeSubpath();
    p.setPen(g.Outline(kRim));
    p.setBrush(QColor(0x3C, 0xC0, 0x50));
    p.drawPath(play);
}

void DrawOpenFile(QPainter& p, const QRectF& box) {
    const Grid g(box);
    QPainterPath back;
    back.moveTo(g.P(2, 6));
    back.lineTo(g.P(9, 6));
    back.lineTo(g.P(11, 8));
    back.lineTo(g.P(20, 8));
    back.lineTo(g.P(20, 19));
    back.lineTo(g.P(2, 19));
    back.closeSubpath();
    p.setPen(g.Outline(kRim));
    p.setBrush(QColor(0xC8, 0x8A, 0x1E));
    p.drawPath(back);
    // The open front leaf, tilted forward.
    QPainterPath front;
    front.moveTo(g.P(5, 11));
    front.lineTo(g.P(22.5, 11));
    front.lineTo(g.P(19.5, 19));
    front.lineTo(g.P(2, 19));
    front.closeSubpath();
    p.setBrush(QColor(0xF4, 0xC0, 0x42));
    p.drawPath(front);
}

void DrawExit(QPainter& p, const QRectF& box) {
    const Grid g(box);
    // A door frame and an arrow leaving it to the right.
    p.setPen(g.Outline(kRim));
    p.setBrush(QColor(0x9A, 0x6A, 0x44));
    p.drawRect(g.R(3, 3, 10, 18));
    p.setBrush(QColor(0x60, 0x40, 0x28));
    QPainterPath leaf;
    leaf.moveTo(g.P(3, 3));
    leaf.lineTo(g.P(9, 5));
    leaf.lineTo(g.P(9, 22));
    leaf.lineTo(g.P(3, 21));
    leaf.closeSubpath();
    p.drawPath(leaf);

    QPainterPath arrow;
    arrow.moveTo(g.P(11, 10));
    arrow.lineTo(g.P(16, 10));
    arrow.lineTo(g.P(16, 6.5));
    arrow.lineTo(g.P(22, 12));
    arrow.lineTo(g.P(16, 17.5));
    arrow.lineTo(g.P(16, 14));
    arrow.lineTo(g.P(11, 14));
    arrow.closeSubpath();
    p.setBrush(QColor(0xE0, 0x3C, 0x32));
    p.drawPath(arrow);
}

void DrawAbout(QPainter& p, const QRectF& box) {
    const Grid g(box);
    p.setPen(g.Outline(kRim));
    p.setBrush(QColor(0x2F, 0x7F, 0xD0));
    p.drawEllipse(g.R(2, 2, 20, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(g.R(10.25, 5.5, 3.5, 3.5));
    p.drawRoundedRect(g.R(10.5, 10.5, 3, 8.5), g.U(1), g.U(1));
}

// Dot dot dot dash, the letter V, on a blue tile with a light rim.
void DrawProgram(QPainter& p, const QRectF& box) {
    const qreal s = box.width();
    const QRectF tile = box.adjusted(s * 0.04, s * 0.04, -s * 0.04, -s * 0.04);
    QLinearGradient shade(tile.topLeft(), tile.bottomLeft());
    shade.setColorAt(0, QColor(0x2F, 0x86, 0xDE));
    shade.setColorAt(1, QColor(0x12, 0x3F, 0x86));
    p.setPen(QPen(QColor(0x0B, 0x2A, 0x5A), std::max(1.0, s / 48)));
    p.setBrush(shade);
    p.drawRoundedRect(tile, s * 0.18, s * 0.18);

    // Nine units across: three dots, three gaps and a dash of three.
    const qreal unit = tile.width() * 0.78 / 9.0;
    const qreal x0 = tile.center().x() - 4.5 * unit;
    const qreal y0 = tile.center().y() - unit / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xF4, 0xD6));
    for (int i = 0; i < 3; ++i) {
        p.drawEllipse(QRectF(x0 + 2 * i * unit, y0, unit, unit));
    }
    p.drawRoundedRect(QRectF(x0 + 6 * unit, y0, 3 * unit, unit), unit / 2, unit / 2);

    // A thin baseline under the signal, as on a paper tape, where there is room for it.
    if (s >= 32) {
        p.setBrush(QColor(0xFF, 0xFF, 0xFF, 0x60));
        p.drawRect(QRectF(x0, y0 + unit * 2.2, 9 * unit, std::max(1.0, s / 64)));
    }
}

}  // namespace

QIcon ProgramIcon() {
    return Painted(&DrawProgram);
}

QIcon ToolIcon(int imageIndex) {
    switch (imageIndex) {
        case kImageCheck:
            return Painted(&DrawCheck);
        case kImageClear:
            return Painted(&DrawClear);
        case kImagePause:
            return Painted(&DrawPause);
        case kImageStart:
            return Painted(&DrawStart);
        case kImageOpenFile:
            return Painted(&DrawOpenFile);
        case kImageExit:
            return Painted(&DrawExit);
        case kImageAbout:
            return Painted(&DrawAbout);
        default:
            return QIcon();
    }
}

}  // namespace vantrel
