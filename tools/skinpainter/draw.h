// Painting primitives shared by every skin image: panels, buttons, glows and
// the small pictograms of the controls. All take the painter in the image's
// pixel coordinates and draw antialiased.
#pragma once

#include "look.h"

#include <QPainter>
#include <QPainterPath>
#include <QRectF>

namespace draw {

QPainterPath rounded(const QRectF &r, qreal radius);

// The window texture: a fine woven pattern over a vertical gradient.
void backdrop(QPainter &p, const QRectF &r, qreal radius, const Look &look);
// A raised surface with a bevel: light top edge, dark outline.
void raised(QPainter &p, const QRectF &r, qreal radius, const Look &look);
// A recessed surface: darker fill and an inner shadow along the top.
void recessed(QPainter &p, const QRectF &r, qreal radius, const Look &look);
// A soft halo of `spread` pixels around a rounded rectangle.
void glow(QPainter &p, const QRectF &r, qreal radius, const QColor &colour, int spread);

// A push button face. `active` is the lit state (hover, selection, checked):
// accent rim, halo and a warmer face.
void button(QPainter &p, const QRectF &r, qreal radius, const Look &look, bool active);

// A thin line that fades out towards both ends.
void fadedLine(QPainter &p, const QPointF &from, const QPointF &to, const QColor &colour, qreal width);

// The Exo face at `pixelSize`, or the default face when it is not loaded.
QFont font(int pixelSize, bool bold = false);

// Pictograms, drawn centred in `box` with `colour`.
enum class Glyph {
    Gear,
    Minus,
    Cross,
    Plus,
    Trash,
    Record,
    Stop,
    Scissors,
    Clipboard,
    Copy,
    Globe,
    Keycap,
    Macro,
    Palette,
    Check,
    ArrowLeft,
    ArrowRight,
    Refresh,
    Tick,
};
void glyph(QPainter &p, Glyph which, const QRectF &box, const QColor &colour);

} // namespace draw
