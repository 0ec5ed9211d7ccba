#include "draw.h"

#include <QFontDatabase>
#include <QImage>
#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

namespace draw {

QPainterPath rounded(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

namespace {

// One tile of the weave: a two-by-two twill, so the texture reads as cloth or
// carbon at a glance but never as noise.
QBrush weaveBrush(const QColor &colour)
{
    QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
    tile.fill(Qt::transparent);
    QPainter p(&tile);
    const QColor faint = withAlpha(colour, colour.alpha() / 2);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool warp = ((x / 2 + y / 2) % 2) == 0;
            if (warp && (x + y) % 2 == 0)
                p.fillRect(x, y, 1, 1, colour);
            else if (!warp && (x + y) % 4 == 1)
                p.fillRect(x, y, 1, 1, faint);
        }
    }
    return QBrush(tile);
}

} // namespace

void backdrop(QPainter &p, const QRectF &r, qreal radius, const Look &look)
{
    const QPainterPath shape = rounded(r, radius);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, look.windowTop);
    g.setColorAt(1, look.windowBottom);
    p.fillPath(shape, g);
    p.fillPath(shape, weaveBrush(look.weave));
    // A wide, faint light from the upper middle gives the surface depth.
    QRadialGradient light(QPointF(r.center().x(), r.top()), r.width() * 0.6);
    light.setColorAt(0, look.dark ? QColor(255, 255, 255, 20) : QColor(255, 255, 255, 110));
    light.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillPath(shape, light);
}

void raised(QPainter &p, const QRectF &r, qreal radius, const Look &look)
{
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, look.panelTop);
    g.setColorAt(1, look.panelBottom);
    p.setPen(QPen(look.edgeDark, 1));
    p.setBrush(g);
    p.drawPath(rounded(body, radius));
    // Bevel: a light line just inside the top edge.
    p.setPen(QPen(look.edgeLight, 1));
    p.setBrush(Qt::NoBrush);
    p.save();
    p.setClipRect(QRectF(body.left(), body.top(), body.width(), qMax<qreal>(radius, 3) + 1));
    p.drawPath(rounded(body.adjusted(1, 1, -1, -1), qMax<qreal>(radius - 1, 0)));
    p.restore();
}

void recessed(QPainter &p, const QRectF &r, qreal radius, const Look &look)
{
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = rounded(body, radius);
    p.fillPath(shape, look.well);
    QLinearGradient shade(body.topLeft(), body.topLeft() + QPointF(0, qMin<qreal>(10, body.height() / 2)));
    shade.setColorAt(0, QColor(0, 0, 0, look.dark ? 120 : 60));
    shade.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillPath(shape, shade);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.edgeDark, 1));
    p.drawPath(shape);
    // The lower lip catches the light.
    p.save();
    p.setClipRect(QRectF(body.left(), body.bottom() - radius - 1, body.width(), radius + 2));
    p.setPen(QPen(look.edgeLight, 1));
    p.drawPath(rounded(body.adjusted(0, 0, 0, 1), radius));
    p.restore();
}

void glow(QPainter &p, const QRectF &r, qreal radius, const QColor &colour, int spread)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    for (int i = spread; i >= 1; --i) {
        const qreal fall = 1.0 - qreal(i) / (spread + 1);
        p.setPen(QPen(withAlpha(colour, int(colour.alpha() * 0.28 * fall * fall)), 2));
        p.drawPath(rounded(r.adjusted(-i, -i, i, i), radius + i));
    }
    p.restore();
}

void button(QPainter &p, const QRectF &r, qreal radius, const Look &look, bool active)
{
    if (!active) {
        raised(p, r, radius, look);
        return;
    }
    // Lit: the halo stays inside the image, so the face shrinks by the
    // halo's width and keeps the same centre as the resting face.
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    // Lit faces stay dark enough for light text on top of them.
    g.setColorAt(0, mix(look.panelTop, look.accent, 0.35));
    g.setColorAt(0.5, mix(look.panelBottom, look.accentDeep, 0.5));
    g.setColorAt(1, mix(look.panelBottom, look.accentDeep, 0.3));
    p.setPen(QPen(look.accent, 1.2));
    p.setBrush(g);
    p.drawPath(rounded(body, radius));
    p.setPen(QPen(withAlpha(look.accentBright, 110), 1));
    p.setBrush(Qt::NoBrush);
    p.save();
    p.setClipRect(QRectF(body.left(), body.top(), body.width(), radius + 2));
    p.drawPath(rounded(body.adjusted(1.2, 1.2, -1.2, -1.2), qMax<qreal>(radius - 1, 0)));
    p.restore();
}

void fadedLine(QPainter &p, const QPointF &from, const QPointF &to, const QColor &colour, qreal width)
{
    QLinearGradient g(from, to);
    g.setColorAt(0, withAlpha(colour, 0));
    g.setColorAt(0.2, colour);
    g.setColorAt(0.8, colour);
    g.setColorAt(1, withAlpha(colour, 0));
    p.setPen(QPen(QBrush(g), width, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(from, to);
}

QFont font(int pixelSize, bool bold)
{
    QFont f(QFontDatabase().hasFamily(QStringLiteral("Exo")) ? QStringLiteral("Exo") : QString());
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

namespace {

QPainterPath gearPath(const QPointF &c, qreal outer, qreal inner, int teeth)
{
    QPainterPath path;
    const int steps = teeth * 4;
    for (int i = 0; i < steps; ++i) {
        const qreal a = 2 * M_PI * i / steps - M_PI / 2;
        const qreal radius = (i % 4 < 2) ? outer : inner;
        const QPointF pt(c.x() + radius * qCos(a), c.y() + radius * qSin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

} // namespace

void glyph(QPainter &p, Glyph which, const QRectF &box, const QColor &colour)
{
    p.save();
    const qreal s = qMin(box.width(), box.height());
    const QPointF c = box.center();
    const qreal w = qMax<qreal>(1.2, s / 9);
    QPen pen(colour, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (which) {
    case Glyph::Gear: {
        QPainterPath gear = gearPath(c, s * 0.46, s * 0.34, 8);
        QPainterPath hole;
        hole.addEllipse(c, s * 0.14, s * 0.14);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPath(gear.subtracted(hole));
        break;
    }
    case Glyph::Minus:
        p.drawLine(QPointF(c.x() - s * 0.32, c.y() + s * 0.18), QPointF(c.x() + s * 0.32, c.y() + s * 0.18));
        break;
    case Glyph::Cross:
        p.drawLine(QPointF(c.x() - s * 0.28, c.y() - s * 0.28), QPointF(c.x() + s * 0.28, c.y() + s * 0.28));
        p.drawLine(QPointF(c.x() + s * 0.28, c.y() - s * 0.28), QPointF(c.x() - s * 0.28, c.y() + s * 0.28));
        break;
    case Glyph::Plus:
        p.drawLine(QPointF(c.x() - s * 0.3, c.y()), QPointF(c.x() + s * 0.3, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - s * 0.3), QPointF(c.x(), c.y() + s * 0.3));
        break;
    case Glyph::Trash: {
        pen.setWidthF(w * 0.85);
        p.setPen(pen);
        p.drawLine(QPointF(c.x() - s * 0.32, c.y() - s * 0.22), QPointF(c.x() + s * 0.32, c.y() - s * 0.22));
        p.drawLine(QPointF(c.x() - s * 0.1, c.y() - s * 0.32), QPointF(c.x() + s * 0.1, c.y() - s * 0.32));
        QPainterPath bin;
        bin.moveTo(c.x() - s * 0.24, c.y() - s * 0.14);
        bin.lineTo(c.x() - s * 0.18, c.y() + s * 0.34);
        bin.lineTo(c.x() + s * 0.18, c.y() + s * 0.34);
        bin.lineTo(c.x() + s * 0.24, c.y() - s * 0.14);
        p.drawPath(bin);
        break;
    }
    case Glyph::Record:
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(c, s * 0.28, s * 0.28);
        break;
    case Glyph::Stop:
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawRoundedRect(QRectF(c.x() - s * 0.24, c.y() - s * 0.24, s * 0.48, s * 0.48), s * 0.06, s * 0.06);
        break;
    case Glyph::Scissors:
        pen.setWidthF(w * 0.85);
        p.setPen(pen);
        p.drawEllipse(QPointF(c.x() - s * 0.2, c.y() + s * 0.24), s * 0.1, s * 0.1);
        p.drawEllipse(QPointF(c.x() + s * 0.2, c.y() + s * 0.24), s * 0.1, s * 0.1);
        p.drawLine(QPointF(c.x() - s * 0.13, c.y() + s * 0.16), QPointF(c.x() + s * 0.2, c.y() - s * 0.34));
        p.drawLine(QPointF(c.x() + s * 0.13, c.y() + s * 0.16), QPointF(c.x() - s * 0.2, c.y() - s * 0.34));
        break;
    case Glyph::Clipboard:
        pen.setWidthF(w * 0.85);
        p.setPen(pen);
        p.drawRoundedRect(QRectF(c.x() - s * 0.26, c.y() - s * 0.28, s * 0.52, s * 0.62), s * 0.06, s * 0.06);
        p.setBrush(colour);
        p.drawRoundedRect(QRectF(c.x() - s * 0.12, c.y() - s * 0.36, s * 0.24, s * 0.14), s * 0.04, s * 0.04);
        p.drawLine(QPointF(c.x() - s * 0.12, c.y() + s * 0.02), QPointF(c.x() + s * 0.12, c.y() + s * 0.02));
        p.drawLine(QPointF(c.x() - s * 0.12, c.y() + s * 0.16), QPointF(c.x() + s * 0.06, c.y() + s * 0.16));
        break;
    case Glyph::Copy:
        pen.setWidthF(w * 0.85);
        p.setPen(pen);
        p.drawRoundedRect(QRectF(c.x() - s * 0.3, c.y() - s * 0.32, s * 0.4, s * 0.48), s * 0.05, s * 0.05);
        p.setBrush(withAlpha(colour, 70));
        p.drawRoundedRect(QRectF(c.x() - s * 0.1, c.y() - s * 0.14, s * 0.4, s * 0.48), s * 0.05, s * 0.05);
        break;
    case Glyph::Globe:
        pen.setWidthF(w * 0.8);
        p.setPen(pen);
        p.drawEllipse(c, s * 0.38, s * 0.38);
        p.drawEllipse(c, s * 0.16, s * 0.38);
        p.drawLine(QPointF(c.x() - s * 0.38, c.y()), QPointF(c.x() + s * 0.38, c.y()));
        p.drawLine(QPointF(c.x() - s * 0.32, c.y() - s * 0.19), QPointF(c.x() + s * 0.32, c.y() - s * 0.19));
        p.drawLine(QPointF(c.x() - s * 0.32, c.y() + s * 0.19), QPointF(c.x() + s * 0.32, c.y() + s * 0.19));
        break;
    case Glyph::Keycap: {
        pen.setWidthF(w * 0.9);
        p.setPen(pen);
        p.drawRoundedRect(QRectF(c.x() - s * 0.36, c.y() - s * 0.34, s * 0.72, s * 0.68), s * 0.1, s * 0.1);
        p.drawRoundedRect(QRectF(c.x() - s * 0.24, c.y() - s * 0.26, s * 0.48, s * 0.4), s * 0.06, s * 0.06);
        break;
    }
    case Glyph::Macro: {
        pen.setWidthF(w * 0.9);
        p.setPen(pen);
        for (int i = 0; i < 3; ++i) {
            const qreal y = c.y() - s * 0.26 + i * s * 0.26;
            p.drawLine(QPointF(c.x() - s * 0.34, y), QPointF(c.x() + s * (i == 2 ? -0.02 : 0.12), y));
        }
        QPainterPath play;
        play.moveTo(c.x() + s * 0.12, c.y() + s * 0.06);
        play.lineTo(c.x() + s * 0.38, c.y() + s * 0.22);
        play.lineTo(c.x() + s * 0.12, c.y() + s * 0.38);
        play.closeSubpath();
        p.setBrush(colour);
        p.drawPath(play);
        break;
    }
    case Glyph::Palette: {
        pen.setWidthF(w * 0.85);
        p.setPen(pen);
        QPainterPath drop;
        drop.moveTo(c.x(), c.y() - s * 0.4);
        drop.cubicTo(c.x() + s * 0.1, c.y() - s * 0.2, c.x() + s * 0.34, c.y() + s * 0.02, c.x() + s * 0.3,
                     c.y() + s * 0.16);
        drop.arcTo(QRectF(c.x() - s * 0.3, c.y() - s * 0.14, s * 0.6, s * 0.56), 0, -180);
        drop.cubicTo(c.x() - s * 0.34, c.y() + s * 0.02, c.x() - s * 0.1, c.y() - s * 0.2, c.x(),
                     c.y() - s * 0.4);
        p.drawPath(drop);
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(colour, 150));
        p.drawEllipse(QPointF(c.x() - s * 0.08, c.y() + s * 0.16), s * 0.07, s * 0.07);
        break;
    }
    case Glyph::Check:
    case Glyph::Tick: {
        QPainterPath tick;
        tick.moveTo(c.x() - s * 0.28, c.y() + s * 0.02);
        tick.lineTo(c.x() - s * 0.06, c.y() + s * 0.24);
        tick.lineTo(c.x() + s * 0.3, c.y() - s * 0.24);
        pen.setWidthF(w * 1.3);
        p.setPen(pen);
        p.drawPath(tick);
        break;
    }
    case Glyph::ArrowLeft:
    case Glyph::ArrowRight: {
        const qreal dir = which == Glyph::ArrowRight ? 1 : -1;
        QPainterPath tri;
        tri.moveTo(c.x() + dir * s * 0.28, c.y());
        tri.lineTo(c.x() - dir * s * 0.2, c.y() - s * 0.26);
        tri.lineTo(c.x() - dir * s * 0.2, c.y() + s * 0.26);
        tri.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPath(tri);
        break;
    }
    case Glyph::Refresh: {
        pen.setWidthF(w);
        p.setPen(pen);
        const QRectF ring(c.x() - s * 0.3, c.y() - s * 0.3, s * 0.6, s * 0.6);
        p.drawArc(ring, 60 * 16, 270 * 16);
        QPainterPath head;
        const QPointF tip(c.x() + s * 0.15, c.y() - s * 0.26);
        head.moveTo(tip + QPointF(s * 0.14, -s * 0.1));
        head.lineTo(tip + QPointF(-s * 0.04, s * 0.14));
        head.lineTo(tip + QPointF(-s * 0.08, -s * 0.16));
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPath(head);
        break;
    }
    }
    p.restore();
}

} // namespace draw
