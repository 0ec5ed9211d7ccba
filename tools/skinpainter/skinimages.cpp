#include "skinimages.h"

#include "draw.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QtEndian>

#include <cmath>

namespace {

using draw::Glyph;
using Paint = std::function<void(QPainter &, const QSize &, const Look &)>;

QRectF area(const QSize &size)
{
    return QRectF(QPointF(0, 0), QSizeF(size));
}

// The red of recording and closing: a warning colour that reads the same on
// either look.
QColor alarm(const Look &look)
{
    return look.dark ? QColor(0xf0, 0x4a, 0x4a) : QColor(0xd8, 0x32, 0x3c);
}

QColor litGlyph(const Look &look)
{
    return look.accentBright;
}

// ---- keys -----------------------------------------------------------------

// The outline of a key: a rounded rectangle, or for an L-shaped key the
// wide upper row joined to the narrower lower part on the right.
QPainterPath keyOutline(const QRectF &r, qreal radius, qreal lowerInset, qreal upperHeight)
{
    if (lowerInset <= 0 || upperHeight <= 0 || upperHeight >= r.height())
        return draw::rounded(r, radius);
    const QPainterPath upper = draw::rounded(QRectF(r.left(), r.top(), r.width(), upperHeight), radius);
    const QPainterPath lower = draw::rounded(r.adjusted(lowerInset, 0, 0, 0), radius);
    return upper.united(lower).simplified();
}

// A key cap seen from above: the skirt, then the dished top face inset
// towards the back of the key.
void keycap(QPainter &p, const QRectF &r, const Look &look, const QString &legend = QString(),
            int legendSize = 8, qreal lowerInset = 0, qreal upperHeight = 0)
{
    const qreal unitHeight = upperHeight > 0 ? upperHeight : r.height();
    const qreal radius = qMin<qreal>(4.5, qMin(r.width(), unitHeight) / 5);
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient skirt(body.topLeft(), body.bottomLeft());
    skirt.setColorAt(0, mix(look.keyBottom, look.keyEdge, 0.25));
    skirt.setColorAt(1, mix(look.keyBottom, look.keyEdge, 0.55));
    p.setPen(QPen(look.keyEdge, 1));
    p.setBrush(skirt);
    p.drawPath(keyOutline(body, radius, lowerInset, upperHeight > 0 ? upperHeight - 0.5 : 0));

    const qreal side = qMin<qreal>(3, body.width() / 8);
    const qreal back = qMin<qreal>(1.5, unitHeight / 10);
    const qreal front = qMin<qreal>(4.5, unitHeight / 6);
    const QRectF top = body.adjusted(side, back, -side, -front);
    const qreal topUpper = upperHeight > 0 ? upperHeight - 0.5 - back - front : 0;
    QLinearGradient face(top.topLeft(), top.bottomLeft());
    face.setColorAt(0, look.keyTop);
    face.setColorAt(1, look.keyBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawPath(keyOutline(top, qMax<qreal>(radius - 1.5, 1), lowerInset, topUpper));
    p.setPen(QPen(withAlpha(QColor(Qt::white), look.dark ? 40 : 200), 1));
    p.drawLine(QPointF(top.left() + radius, top.top() + 0.5), QPointF(top.right() - radius, top.top() + 0.5));
    if (!legend.isEmpty()) {
        p.setPen(look.keyLegend);
        p.setFont(draw::font(legendSize));
        p.drawText(top.adjusted(2, 1, -1, 0), Qt::AlignLeft | Qt::AlignTop, legend);
    }
}

// The frame laid over a key that is pointed at, selected or changed.
void keyFrame(QPainter &p, const QSize &size, const Look &look, qreal lowerInset, qreal upperHeight)
{
    const QRectF r = area(size).adjusted(1, 1, -1, -1);
    const qreal unitHeight = upperHeight > 0 ? upperHeight : r.height();
    const qreal radius = qMin<qreal>(5, qMin(r.width(), unitHeight) / 4);
    const qreal upper = upperHeight > 0 ? upperHeight - 1 : 0;
    p.setBrush(withAlpha(look.accent, look.dark ? 38 : 46));
    p.setPen(QPen(look.accent, 2));
    p.drawPath(keyOutline(r, radius, lowerInset, upper));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(look.accentBright, 150), 1));
    p.drawPath(keyOutline(r.adjusted(2, 2, -2, -2), qMax<qreal>(radius - 2, 1), lowerInset,
                          upper > 0 ? upper - 4 : 0));
}

// A full-size keyboard in key units, for the picture of the main page.
struct Cap {
    qreal width; // in units; a gap when legend is null
    const char *legend;
    qreal height = 1;
};

QVector<QVector<Cap>> keyboardRows()
{
    auto units = [](std::initializer_list<const char *> legends) {
        QVector<Cap> caps;
        for (const char *l : legends)
            caps.append({1, l});
        return caps;
    };
    QVector<QVector<Cap>> rows(6);
    rows[0] = {{1, "Esc"}, {1, nullptr}};
    rows[0] += units({"F1", "F2", "F3", "F4"});
    rows[0] += {{0.5, nullptr}};
    rows[0] += units({"F5", "F6", "F7", "F8"});
    rows[0] += {{0.5, nullptr}};
    rows[0] += units({"F9", "F10", "F11", "F12"});
    rows[0] += {{0.25, nullptr}};
    rows[0] += units({"Prt", "Scr", "Pau"});

    rows[1] = units({"`", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "="});
    rows[1] += {{2, "Back"}, {0.25, nullptr}};
    rows[1] += units({"Ins", "Hom", "PgU"});
    rows[1] += {{0.25, nullptr}};
    rows[1] += units({"Num", "/", "*", "-"});

    rows[2] = {{1.5, "Tab"}};
    rows[2] += units({"Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "[", "]"});
    rows[2] += {{1.5, "\\"}, {0.25, nullptr}};
    rows[2] += units({"Del", "End", "PgD"});
    rows[2] += {{0.25, nullptr}};
    rows[2] += units({"7", "8", "9"});
    rows[2] += {{1, "+", 2}};

    rows[3] = {{1.75, "Caps"}};
    rows[3] += units({"A", "S", "D", "F", "G", "H", "J", "K", "L", ";", "'"});
    rows[3] += {{2.25, "Enter"}, {3.5, nullptr}};
    rows[3] += units({"4", "5", "6"});

    rows[4] = {{2.25, "Shift"}};
    rows[4] += units({"Z", "X", "C", "V", "B", "N", "M", ",", ".", "/"});
    rows[4] += {{2.75, "Shift"}, {1.25, nullptr}, {1, "\u25b2"}, {1.25, nullptr}};
    rows[4] += units({"1", "2", "3"});
    rows[4] += {{1, "Ent", 2}};

    rows[5] = {{1.25, "Ctrl"}, {1.25, "Win"}, {1.25, "Alt"},  {6.25, ""},     {1.25, "Alt"},
               {1.25, "Fn"},   {1.25, "App"}, {1.25, "Ctrl"}, {0.25, nullptr}};
    rows[5] += units({"\u25c4", "\u25bc", "\u25ba"});
    rows[5] += {{0.25, nullptr}, {2, "0"}, {1, "."}};
    return rows;
}

void keyboardPicture(QPainter &p, const QSize &size, const Look &look)
{
    const QRectF r = area(size);
    // Under-glow first, so the case sits on it.
    const QRectF caseRect = r.adjusted(6, 10, -6, -14);
    QRadialGradient halo(QPointF(caseRect.center().x(), caseRect.bottom()), caseRect.width() * 0.55);
    halo.setColorAt(0, withAlpha(look.accent, look.dark ? 70 : 55));
    halo.setColorAt(1, withAlpha(look.accent, 0));
    p.fillRect(QRectF(r.left(), caseRect.bottom() - 30, r.width(), 44), halo);

    QLinearGradient shell(caseRect.topLeft(), caseRect.bottomLeft());
    shell.setColorAt(0, look.dark ? QColor(0x34, 0x37, 0x3d) : QColor(0xf2, 0xf4, 0xf7));
    shell.setColorAt(1, look.dark ? QColor(0x16, 0x18, 0x1b) : QColor(0xbf, 0xc7, 0xd1));
    p.setPen(QPen(look.keyEdge, 1.2));
    p.setBrush(shell);
    p.drawPath(draw::rounded(caseRect, 16));
    // The plate the keys sit in.
    const QRectF plate = caseRect.adjusted(12, 26, -12, -12);
    p.setPen(Qt::NoPen);
    p.setBrush(look.dark ? QColor(0x0d, 0x0e, 0x10) : QColor(0x9a, 0xa5, 0xb3));
    p.drawPath(draw::rounded(plate, 8));
    draw::fadedLine(p, QPointF(caseRect.left() + 30, caseRect.bottom() - 1.5),
                    QPointF(caseRect.right() - 30, caseRect.bottom() - 1.5), look.accent, 2);

    // Badge and status lights above the number pad.
    p.setFont(draw::font(15, true));
    p.setPen(look.accent);
    p.drawText(QRectF(caseRect.right() - 150, caseRect.top() + 4, 70, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Q3"));
    for (int i = 0; i < 3; ++i) {
        const QPointF led(caseRect.right() - 64 + i * 16, caseRect.top() + 15);
        p.setBrush(i == 0 ? look.accent : withAlpha(look.glyph, 90));
        p.drawEllipse(led, 2.5, 2.5);
    }

    // Six rows with a half-unit gap under the function keys: 6.25 units deep.
    const qreal unit = qMin((plate.width() - 12) / 22.5, (plate.height() - 12) / 6.25);
    const QPointF origin(plate.center().x() - unit * 22.5 / 2, plate.center().y() - unit * 6.25 / 2);
    const qreal gap = 2;
    const QVector<QVector<Cap>> rows = keyboardRows();
    qreal y = 0;
    for (int row = 0; row < rows.size(); ++row) {
        qreal x = 0;
        for (const Cap &cap : rows[row]) {
            if (cap.legend) {
                const QRectF keyRect(origin.x() + x * unit, origin.y() + y * unit, cap.width * unit - gap,
                                     cap.height * unit - gap);
                keycap(p, keyRect, look, QString::fromUtf8(cap.legend), qRound(unit * 0.27));
            }
            x += cap.width;
        }
        y += row == 0 ? 1.25 : 1.0;
    }
}

// ---- window furniture -----------------------------------------------------

// Amber (or blue) corner marks around a rectangle, outset by `outset`.
void cornerMarks(QPainter &p, const QRectF &r, qreal outset, qreal length, const QColor &colour, qreal width)
{
    const QRectF o = r.adjusted(-outset, -outset, outset, outset);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::SquareCap));
    const QPointF corners[4] = {o.topLeft(), o.topRight(), o.bottomRight(), o.bottomLeft()};
    const QPointF dirs[4][2] = {{{1, 0}, {0, 1}}, {{-1, 0}, {0, 1}}, {{-1, 0}, {0, -1}}, {{1, 0}, {0, -1}}};
    for (int i = 0; i < 4; ++i) {
        p.drawLine(corners[i], corners[i] + dirs[i][0] * length);
        p.drawLine(corners[i], corners[i] + dirs[i][1] * length);
    }
}

void windowBackground(QPainter &p, const QSize &size, const Look &look)
{
    const QRectF r = area(size).adjusted(0.5, 0.5, -0.5, -0.5);
    draw::backdrop(p, r, 12, look);
    // Header and footer bands, a touch darker than the body.
    p.save();
    p.setClipPath(draw::rounded(r, 12));
    const QColor band = look.dark ? QColor(0, 0, 0, 70) : QColor(40, 70, 110, 22);
    p.fillRect(QRectF(0, 0, size.width(), 22), band);
    p.fillRect(QRectF(0, 551, size.width(), 49), band);
    // Side rails behind the function and profile menus.
    QLinearGradient left(QPointF(0, 0), QPointF(122, 0));
    left.setColorAt(0, withAlpha(band, band.alpha() / 2));
    left.setColorAt(1, withAlpha(band, 0));
    p.fillRect(QRectF(0, 22, 122, 529), left);
    QLinearGradient right(QPointF(size.width(), 0), QPointF(size.width() - 78, 0));
    right.setColorAt(0, withAlpha(band, band.alpha() / 2));
    right.setColorAt(1, withAlpha(band, 0));
    p.fillRect(QRectF(size.width() - 78, 22, 78, 529), right);
    p.restore();
    draw::fadedLine(p, QPointF(12, 22.5), QPointF(size.width() - 12, 22.5), withAlpha(look.accent, 150), 1);
    draw::fadedLine(p, QPointF(12, 550.5), QPointF(size.width() - 12, 550.5), withAlpha(look.accent, 110), 1);

    // The page area at (127, 96), 792 by 442, marked by its corners.
    cornerMarks(p, QRectF(127, 96, 792, 442), 7, 16, withAlpha(look.accent, 170), 2);

    p.setFont(draw::font(11, true));
    p.setPen(look.chromeText);
    QFont f = p.font();
    f.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    p.setFont(f);
    p.drawText(QRectF(22, 2, 300, 19), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("GEARPANEL"));
    p.setPen(withAlpha(look.accent, 200));
    p.drawText(QRectF(142, 2, 60, 19), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Q3"));

    // Outline: dark outside, light just inside.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.edgeDark, 1));
    p.drawPath(draw::rounded(r, 12));
    p.setPen(QPen(look.edgeLight, 1));
    p.drawPath(draw::rounded(r.adjusted(1, 1, -1, -1), 11));
}

void topContainer(QPainter &p, const QSize &size, const Look &look)
{
    // Only the lower 19 pixels show (the menu sits at y -13): a tinted glass
    // band that ends on a bright line, with a tab behind the three buttons.
    QLinearGradient g(QPointF(0, 0), QPointF(0, size.height()));
    g.setColorAt(0, withAlpha(look.panelBottom, 0));
    g.setColorAt(1, withAlpha(look.panelBottom, look.dark ? 120 : 90));
    p.fillRect(QRectF(12, 0, size.width() - 24, size.height()), g);
    const QRectF tab(862, -8, 126, size.height() + 6);
    draw::raised(p, tab, 8, look);
    p.fillRect(QRectF(tab.left() + 8, size.height() - 2, tab.width() - 16, 2), look.accent);
}

void commandBackground(QPainter &p, const QSize &size, const Look &look)
{
    draw::raised(p, area(size), 7, look);
    draw::fadedLine(p, QPointF(6, size.height() - 2.5), QPointF(size.width() - 6, size.height() - 2.5),
                    look.accent, 1.5);
}

Paint titleButton(Glyph glyph, bool active, bool closes)
{
    return [glyph, active, closes](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size).adjusted(1, 1, -1, -1);
        if (active && closes) {
            Look red = look;
            red.accent = alarm(look);
            red.accentBright = alarm(look).lighter(140);
            red.accentDeep = alarm(look).darker(160);
            draw::button(p, r, 6, red, true);
            draw::glyph(p, glyph, r.adjusted(7, 5, -7, -5), Qt::white);
            return;
        }
        draw::button(p, r, 6, look, active);
        draw::glyph(p, glyph, r.adjusted(7, 5, -7, -5), active ? litGlyph(look) : look.glyph);
    };
}

void bottomContainer(QPainter &p, const QSize &size, const Look &look)
{
    QPainterPath shape;
    const QRectF r = area(size).adjusted(0.5, 0, -0.5, -0.5);
    // Square top, rounded bottom corners like the window's.
    shape.addRoundedRect(r, 12, 12);
    QPainterPath topHalf;
    topHalf.addRect(QRectF(r.left(), r.top(), r.width(), 14));
    shape = shape.united(topHalf);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, withAlpha(look.panelTop, look.dark ? 150 : 170));
    g.setColorAt(1, withAlpha(look.panelBottom, look.dark ? 230 : 220));
    p.fillPath(shape, g);
    draw::fadedLine(p, QPointF(20, 0.5), QPointF(size.width() - 20, 0.5), look.accent, 1);
    draw::fadedLine(p, QPointF(200, 1.5), QPointF(size.width() - 200, 1.5), withAlpha(look.edgeLight, 120),
                    1);
}

Paint barButton(bool apply)
{
    return [apply](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size).adjusted(1, 1, -1, -1);
        draw::raised(p, r, 6, look);
        const QColor stripe = apply ? look.accent : withAlpha(look.glyph, 160);
        draw::fadedLine(p, QPointF(r.left() + 10, r.bottom() - 3), QPointF(r.right() - 10, r.bottom() - 3),
                        stripe, 2);
    };
}

void profileContainer(QPainter &p, const QSize &size, const Look &look)
{
    const QRectF r = area(size);
    draw::recessed(p, r, 9, look);
    for (int i = 0; i < 4; ++i) {
        const qreal y = 8 + i * 44 + 15;
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(look.accent, 60));
        p.drawEllipse(QPointF(3.5, y), 1.5, 1.5);
    }
}

Paint profileButton(bool active)
{
    return [active](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size).adjusted(1, 1, -1, -1);
        draw::button(p, r, 5, look, active);
        // The profile's light: dark at rest, lit when chosen.
        const QPointF led(r.left() + 6, r.center().y());
        if (active) {
            QRadialGradient halo(led, 6);
            halo.setColorAt(0, withAlpha(look.accentBright, 220));
            halo.setColorAt(1, withAlpha(look.accentBright, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(halo);
            p.drawEllipse(led, 6, 6);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(active ? look.accentBright : withAlpha(look.glyph, 110));
        p.drawEllipse(led, 2, 2);
    };
}

Paint functionButton(bool active)
{
    return [active](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size).adjusted(1, 1, -1, -1);
        draw::button(p, r, 5, look, active);
        p.fillRect(QRectF(r.left() + 1.5, r.top() + 5, 2.5, r.height() - 10),
                   active ? look.accentBright : withAlpha(look.glyph, 90));
    };
}

Paint functionIcon(Glyph glyph, bool active)
{
    return [glyph, active](QPainter &p, const QSize &size, const Look &look) {
        draw::glyph(p, glyph, area(size).adjusted(1, 1, -1, -1), active ? look.accent : look.glyph);
    };
}

// A page: a panel with a header strip, and recessed wells where the page
// puts its keyboard or lists.
Paint pageBackground(QVector<QRectF> wells, Glyph watermark)
{
    return [wells, watermark](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size).adjusted(0.5, 0.5, -0.5, -0.5);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, withAlpha(look.panelTop, 225));
        g.setColorAt(1, withAlpha(look.panelBottom, 240));
        p.setPen(QPen(look.edgeDark, 1));
        p.setBrush(g);
        p.drawPath(draw::rounded(r, 10));
        p.save();
        p.setClipPath(draw::rounded(r, 10));
        p.fillRect(QRectF(r.left(), r.top(), r.width(), 46),
                   look.dark ? QColor(255, 255, 255, 10) : QColor(30, 60, 100, 12));
        p.restore();
        draw::fadedLine(p, QPointF(16, 46.5), QPointF(size.width() - 16, 46.5), withAlpha(look.accent, 160),
                        1);
        p.setPen(QPen(look.edgeLight, 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(draw::rounded(r.adjusted(1, 1, -1, -1), 9));
        for (const QRectF &well : wells)
            draw::recessed(p, well, 8, look);
        const qreal mark = qMin(size.width(), size.height()) * 0.22;
        draw::glyph(p, watermark, QRectF(size.width() - mark - 18, size.height() - mark - 14, mark, mark),
                    withAlpha(look.glyph, look.dark ? 16 : 28));
    };
}

void settingsBackground(QPainter &p, const QSize &size, const Look &look)
{
    const QRectF r = area(size).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, withAlpha(look.panelTop, 245));
    g.setColorAt(1, withAlpha(look.panelBottom, 250));
    p.setPen(QPen(look.edgeDark, 1));
    p.setBrush(g);
    p.drawPath(draw::rounded(r, 10));
    p.fillRect(QRectF(r.left() + 1, r.top() + 12, 2.5, r.height() - 24), look.accent);
    draw::fadedLine(p, QPointF(14, 34.5), QPointF(size.width() - 14, 34.5), withAlpha(look.accent, 170), 1);
    draw::glyph(p, Glyph::Gear, QRectF(size.width() - 30, 9, 17, 17), withAlpha(look.glyph, 120));
    p.setPen(QPen(look.edgeLight, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(draw::rounded(r.adjusted(1, 1, -1, -1), 9));
}

void frameBackground(QPainter &p, const QSize &size, const Look &look)
{
    const QRectF r = area(size).adjusted(3.5, 3.5, -3.5, -3.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(look.edgeDark, 120), 1));
    p.drawPath(draw::rounded(r, 12));
    cornerMarks(p, r.adjusted(2, 2, -2, -2), 0, 22, look.accent, 2);
}

Paint decoration(bool vertical)
{
    return [vertical](QPainter &p, const QSize &size, const Look &look) {
        const int length = vertical ? size.height() : size.width();
        const int thickness = vertical ? size.width() : size.height();
        for (int i = 0, pos = 0; pos < length; ++i) {
            const int segment = i % 3 == 0 ? 22 : 8;
            const qreal fade = 1.0 - qreal(pos) / length;
            const QColor c = withAlpha(i % 3 == 0 ? look.accent : look.glyph, int(200 * fade) + 30);
            const QRectF bar = vertical ? QRectF(thickness / 2.0 - 2, pos, 4, segment)
                                        : QRectF(pos, thickness / 2.0 - 2, segment, 4);
            p.fillRect(bar, c);
            pos += segment + 4;
        }
    };
}

Paint webLink(bool active)
{
    return [active](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size).adjusted(1, 1, -1, -1);
        draw::button(p, r, r.height() / 2, look, active);
        draw::glyph(p, Glyph::Globe, QRectF(r.left() + 5, r.top() + 2, r.height() - 4, r.height() - 4),
                    active ? litGlyph(look) : look.glyph);
        p.setFont(draw::font(10, true));
        p.setPen(active ? litGlyph(look) : look.glyph);
        p.drawText(r.adjusted(r.height() + 6, 0, -6, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("WEB SITE"));
    };
}

// The companion mouse, drawn for completeness: the pages never show it
// because only the keyboard is ever connected.
Paint mousePicture(bool lit)
{
    return [lit](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size).adjusted(24, 12, -24, -12);
        QPainterPath body;
        body.moveTo(r.center().x(), r.top());
        body.cubicTo(r.right() + 6, r.top(), r.right(), r.center().y(), r.right() - 6, r.bottom() - 40);
        body.cubicTo(r.right() - 12, r.bottom(), r.left() + 12, r.bottom(), r.left() + 6, r.bottom() - 40);
        body.cubicTo(r.left(), r.center().y(), r.left() - 6, r.top(), r.center().x(), r.top());
        QLinearGradient g(r.topLeft(), r.bottomRight());
        g.setColorAt(0, look.keyTop);
        g.setColorAt(1, look.keyBottom);
        p.setPen(QPen(look.keyEdge, 1.5));
        p.setBrush(g);
        p.drawPath(body);
        const qreal split = r.top() + r.height() * 0.38;
        p.drawLine(QPointF(r.center().x(), r.top() + 2), QPointF(r.center().x(), split));
        p.drawLine(QPointF(r.left() + 8, split), QPointF(r.right() - 8, split));
        p.setBrush(look.well);
        p.drawRoundedRect(QRectF(r.center().x() - 6, r.top() + 26, 12, 30), 6, 6);
        if (lit) {
            QPen strip(look.accent, 4, Qt::SolidLine, Qt::RoundCap);
            p.setPen(strip);
            p.drawLine(QPointF(r.left() + 14, split + 30), QPointF(r.left() + 10, r.bottom() - 50));
            p.drawLine(QPointF(r.right() - 14, split + 30), QPointF(r.right() - 10, r.bottom() - 50));
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(look.accent);
            const QPointF marks[] = {{r.left() + r.width() * 0.25, r.top() + 40},
                                     {r.right() - r.width() * 0.25, r.top() + 40},
                                     {r.center().x(), r.top() + 70}};
            for (const QPointF &m : marks)
                p.drawEllipse(m, 4, 4);
        }
    };
}

// ---- common controls ----------------------------------------------------------

Paint field(bool withArrow)
{
    return [withArrow](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size);
        draw::recessed(p, r, 4, look);
        if (withArrow) {
            const qreal s = r.height() - 8;
            draw::glyph(p, Glyph::ArrowRight, QRectF(r.right() - s - 4, r.top() + 4, s, s),
                        withAlpha(look.accent, 220));
        }
    };
}

void keyboardLogo(QPainter &p, const QSize &size, const Look &look)
{
    p.setFont(draw::font(size.height() - 4, true));
    p.setPen(look.accent);
    p.drawText(QRectF(0, 0, 30, size.height()), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Q3"));
    p.fillRect(QRectF(31, 4, 1.5, size.height() - 8), withAlpha(look.glyph, 160));
    QFont f = draw::font(9, true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(f);
    p.setPen(look.glyph);
    p.drawText(QRectF(37, 0, size.width() - 37, size.height()), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("KEYBOARD"));
}

// A slider track for a 14-pixel knob resting at the given x positions: the
// groove runs under the knob from the first stop to the last, and each tick
// sits under the knob's centre, 7 pixels right of its stop.
Paint sliderTrack(const QVector<int> &stops)
{
    return [stops](QPainter &p, const QSize &size, const Look &look) {
        const qreal mid = size.height() / 2.0;
        draw::recessed(p, QRectF(stops.first(), mid - 3, stops.last() + 14 - stops.first(), 6), 3, look);
        for (int x : stops) {
            p.fillRect(QRectF(x + 6.5, mid + 5, 1, 4), withAlpha(look.glyph, 160));
            p.fillRect(QRectF(x + 6.5, mid - 9, 1, 3), withAlpha(look.glyph, 90));
        }
    };
}

Paint knob(bool active, bool round)
{
    return [active, round](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size).adjusted(1, 2, -1, -2);
        if (round) {
            const qreal d = qMin(r.width(), r.height());
            const QRectF c(r.center().x() - d / 2, r.center().y() - d / 2, d, d);
            draw::button(p, c, d / 2, look, active);
            p.setPen(Qt::NoPen);
            p.setBrush(active ? look.accentBright : look.accent);
            p.drawEllipse(c.center(), d / 6, d / 6);
            return;
        }
        draw::button(p, r, 3, look, active);
        for (int i = -1; i <= 1; ++i) {
            const qreal y = r.center().y() + i * 3;
            p.fillRect(QRectF(r.left() + 3, y, r.width() - 6, 1),
                       active ? look.accentBright : withAlpha(look.glyph, 150));
        }
    };
}

void separatorLine(QPainter &p, const QSize &size, const Look &look)
{
    draw::fadedLine(p, QPointF(0, 0.5), QPointF(size.width(), 0.5), look.edgeDark, 1);
    draw::fadedLine(p, QPointF(0, 1.5), QPointF(size.width(), 1.5), look.edgeLight, 1);
}

Paint plainButton(bool active, bool accentStripe)
{
    return [active, accentStripe](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size).adjusted(1, 1, -1, -1);
        draw::button(p, r, 5, look, active);
        if (accentStripe || active)
            draw::fadedLine(p, QPointF(r.left() + 8, r.bottom() - 2.5),
                            QPointF(r.right() - 8, r.bottom() - 2.5),
                            active ? look.accentBright : withAlpha(look.accent, 170), 1.5);
    };
}

void steeringBackground(QPainter &p, const QSize &size, const Look &look)
{
    const QRectF r = area(size);
    draw::recessed(p, r, r.height() / 2, look);
    p.fillRect(QRectF(r.center().x() - 0.5, r.top() + 6, 1, r.height() - 12), withAlpha(look.glyph, 90));
    const qreal s = r.height() - 16;
    draw::glyph(p, Glyph::ArrowLeft, QRectF(r.left() + 10, r.top() + 8, s, s), withAlpha(look.glyph, 70));
    draw::glyph(p, Glyph::ArrowRight, QRectF(r.right() - 10 - s, r.top() + 8, s, s),
                withAlpha(look.glyph, 70));
}

void fileListBase(QPainter &p, const QSize &size, const Look &look)
{
    const QRectF r = area(size);
    draw::recessed(p, r, 5, look);
    for (int y = 24; y < size.height() - 4; y += 24)
        p.fillRect(QRectF(6, y, size.width() - 12, 1), withAlpha(look.glyph, look.dark ? 26 : 60));
}

void paletteIndex(QPainter &p, const QSize &size, const Look &look)
{
    const QRectF r = area(size).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.accent, 2));
    p.drawEllipse(r);
    p.setPen(QPen(look.dark ? QColor(255, 255, 255, 200) : QColor(40, 50, 60, 200), 1));
    p.drawEllipse(r.adjusted(2.5, 2.5, -2.5, -2.5));
}

Paint checkbox(bool checked)
{
    return [checked](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size).adjusted(0.5, 0.5, -0.5, -0.5);
        if (checked) {
            draw::button(p, r, 3, look, true);
            draw::glyph(p, Glyph::Tick, r.adjusted(1, 1, -1, -1), litGlyph(look));
        } else {
            draw::recessed(p, r, 3, look);
        }
    };
}

// The colour strip of the text colour picker. Column p carries exactly the
// colour that a press at p picks: black, red, yellow, green, cyan, blue,
// magenta, white and back to black in eight equal sections.
void colourStrip(QPainter &p, const QSize &size, const Look &look)
{
    const int length = size.width();
    for (int x = 0; x < length; ++x) {
        const double rate = double(x) / (length - 1) / 0.125;
        const int section = int(rate);
        const int t = int(std::lround((rate - section) * 255));
        QColor c;
        switch (section) {
        case 0:
            c = QColor(t, 0, 0);
            break;
        case 1:
            c = QColor(255, t, 0);
            break;
        case 2:
            c = QColor(255 - t, 255, 0);
            break;
        case 3:
            c = QColor(0, 255, t);
            break;
        case 4:
            c = QColor(0, 255 - t, 255);
            break;
        case 5:
            c = QColor(t, 0, 255);
            break;
        case 6:
            c = QColor(255, t, 255);
            break;
        case 7:
            c = QColor(255 - t, 255 - t, 255 - t);
            break;
        default:
            c = QColor(0, 0, 0);
            break;
        }
        p.fillRect(QRectF(x, 1, 1, size.height() - 2), c);
    }
    p.fillRect(QRectF(0, 0, length, 1), look.edgeDark);
    p.fillRect(QRectF(0, size.height() - 1, length, 1), look.edgeLight);
}

void twoButtonFrame(QPainter &p, const QSize &size, const Look &look)
{
    const QRectF r = area(size);
    draw::recessed(p, r, 7, look);
}

Paint iconButton(Glyph glyph, bool active, bool warning = false)
{
    return [glyph, active, warning](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size).adjusted(0.5, 0.5, -0.5, -0.5);
        draw::button(p, r, 4, look, active);
        QColor colour = active ? litGlyph(look) : look.glyph;
        if (warning)
            colour = active ? alarm(look).lighter(125) : alarm(look);
        const qreal inset = r.width() * 0.2;
        draw::glyph(p, glyph, r.adjusted(inset, inset, -inset, -inset), colour);
        if (warning && active)
            draw::glow(p, r.adjusted(4, 4, -4, -4), 3, alarm(look), 2);
    };
}

Paint buttonGroupBase(int buttons)
{
    return [buttons](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size);
        draw::recessed(p, r, 5, look);
        const qreal step = (r.width() - 4) / buttons;
        for (int i = 1; i < buttons; ++i)
            p.fillRect(QRectF(2 + i * step - 0.5, 5, 1, r.height() - 10), withAlpha(look.glyph, 80));
    };
}

Paint buttonGroupFiller(bool active, bool secondStyle)
{
    return [active, secondStyle](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size).adjusted(2, 2, -2, -2);
        if (!secondStyle) {
            draw::button(p, r, 4, look, active);
            return;
        }
        // The second style marks the chosen button with a light above the
        // label rather than a lit face.
        draw::raised(p, r, r.height() / 2, look);
        p.setPen(Qt::NoPen);
        p.setBrush(active ? look.accent : withAlpha(look.glyph, 80));
        p.drawRoundedRect(QRectF(r.center().x() - 8, r.top() + 3, 16, 3), 1.5, 1.5);
        if (active)
            draw::glow(p, QRectF(r.center().x() - 8, r.top() + 3, 16, 3), 1.5, look.accent, 3);
    };
}

void elevenStepTrack(QPainter &p, const QSize &size, const Look &look)
{
    const qreal mid = size.height() / 2.0;
    const qreal left = 7, right = size.width() - 7;
    draw::recessed(p, QRectF(left - 3, mid - 3, right - left + 6, 6), 3, look);
    for (int i = 0; i <= 10; ++i) {
        const qreal x = left + (right - left) * i / 10.0;
        p.fillRect(QRectF(x - 0.5, mid + 5, 1, i % 5 == 0 ? 5 : 3), withAlpha(look.glyph, 150));
    }
}

Paint outlineFrame(bool withArrow)
{
    return [withArrow](QPainter &p, const QSize &size, const Look &look) {
        const QRectF r = area(size).adjusted(0.5, 0.5, -0.5, -0.5);
        p.setBrush(withAlpha(look.well, 90));
        p.setPen(QPen(look.edgeDark, 1));
        p.drawPath(draw::rounded(r, 5));
        cornerMarks(p, r.adjusted(1, 1, -1, -1), 0, 6, withAlpha(look.accent, 200), 1.5);
        if (withArrow) {
            const qreal s = r.height() - 12;
            draw::glyph(p, Glyph::ArrowRight, QRectF(r.right() - s - 6, r.top() + 6, s, s), look.accent);
        }
    };
}

SkinImage image(const QString &path, int width, int height, Paint paint)
{
    return SkinImage{path, QSize(width, height), std::move(paint)};
}

} // namespace

QVector<SkinImage> skinImages(const QMap<int, KeyImage> &keys)
{
    const QString up = QStringLiteral("list_up/");
    const QString dn = QStringLiteral("list_dn/");
    const QString pf = QStringLiteral("list_pf/");
    const QString fn = QStringLiteral("list_fn/");
    const QString center = QStringLiteral("list_center/");
    const QString frame = QStringLiteral("frame/");
    const QString ms = QStringLiteral("model_ms/");
    const QString common = QStringLiteral("common/");

    QVector<SkinImage> all = {
        image(QStringLiteral("background.png"), 1000, 600, windowBackground),
        image(QStringLiteral("keyboard.png"), 720, 270, keyboardPicture),

        image(up + "cmdBg.png", 130, 30, commandBackground),
        image(up + "applicationSetting_0.png", 30, 24, titleButton(Glyph::Gear, false, false)),
        image(up + "applicationSetting_1.png", 30, 24, titleButton(Glyph::Gear, true, false)),
        image(up + "applicationMinimize_0.png", 30, 24, titleButton(Glyph::Minus, false, false)),
        image(up + "applicationMinimize_1.png", 30, 24, titleButton(Glyph::Minus, true, false)),
        image(up + "applicationClose_0.png", 30, 24, titleButton(Glyph::Cross, false, true)),
        image(up + "applicationClose_1.png", 30, 24, titleButton(Glyph::Cross, true, true)),
        image(up + "listUpContainer.png", 1000, 32, topContainer),

        image(dn + "listDownButtonBg.png", 158, 34, barButton(false)),
        image(dn + "listDnContainer.png", 1000, 49, bottomContainer),

        image(pf + "listPfContainer.png", 66, 186, profileContainer),
        image(pf + "profileFW_0.png", 50, 30, profileButton(false)),
        image(pf + "profileFW_1.png", 50, 30, profileButton(true)),

        image(fn + "listFnBtn_0.png", 97, 29, functionButton(false)),
        image(fn + "listFnBtn_1.png", 97, 29, functionButton(true)),
        image(fn + "fnKeydefine_0.png", 22, 22, functionIcon(Glyph::Keycap, false)),
        image(fn + "fnKeydefine_1.png", 22, 22, functionIcon(Glyph::Keycap, true)),
        image(fn + "fnMacro_0.png", 22, 22, functionIcon(Glyph::Macro, false)),
        image(fn + "fnMacro_1.png", 22, 22, functionIcon(Glyph::Macro, true)),
        image(fn + "fnColor_0.png", 22, 22, functionIcon(Glyph::Palette, false)),
        image(fn + "fnColor_1.png", 22, 22, functionIcon(Glyph::Palette, true)),

        image(center + "globalsettingBackground.png", 319, 411, settingsBackground),
        image(center + "fnKeydefineBackground.png", 792, 442,
              pageBackground({QRectF(30, 86, 732, 250)}, Glyph::Keycap)),
        image(center + "fnMacroBackground.png", 792, 396,
              pageBackground({QRectF(110, 45, 158, 240), QRectF(479, 45, 296, 240)}, Glyph::Macro)),
        image(center + "fnColorBackground.png", 792, 442,
              pageBackground({QRectF(30, 86, 732, 250)}, Glyph::Palette)),
        image(center + "fnCommonBackground.png", 792, 442, pageBackground({}, Glyph::Gear)),

        image(frame + "frameBackground.png", 800, 450, frameBackground),
        image(frame + "decoration1.png", 220, 10, decoration(false)),
        image(frame + "decoration2.png", 10, 220, decoration(true)),
        image(frame + "web_0.png", 100, 22, webLink(false)),
        image(frame + "web_1.png", 100, 22, webLink(true)),

        image(ms + "model_Q4_Color.png", 180, 280, mousePicture(true)),
        image(ms + "model_Q4_KeyDefine.png", 180, 280, mousePicture(false)),

        image(common + "slider_BASE.png", 140, 22, field(true)),
        image(common + "keyboardLogo.png", 110, 20, keyboardLogo),
        // The common seven-stop slider (the last stop 18 pixels on), and the
        // eight steps of the settings panel's brightness, 16 apart.
        image(common + "sliderBG.png", 154, 22, sliderTrack({21, 37, 53, 69, 85, 101, 119})),
        image(common + "sliderBG_8.png", 154, 22, sliderTrack({21, 37, 53, 69, 85, 101, 117, 133})),
        image(common + "draw_line.png", 300, 2, separatorLine),
        image(common + "resetBtn.png", 70, 24, plainButton(false, false)),
        image(common + "steelBG.png", 90, 30, steeringBackground),
        image(common + "settingBtn.png", 70, 24, plainButton(false, true)),
        image(common + "filelist_BASE.png", 141, 198, fileListBase),
        image(common + "draw_inputValue.png", 36, 20, field(false)),
        image(common + "draw_paletteIndex.png", 22, 22, paletteIndex),
        image(common + "checkbox_0.png", 16, 16, checkbox(false)),
        image(common + "checkbox_1.png", 16, 16, checkbox(true)),
        image(common + "draw_palette.png", 96, 16, colourStrip),
        image(common + "reset_0.png", 70, 24, plainButton(false, false)),
        image(common + "reset_1.png", 70, 24, plainButton(true, false)),
        image(common + "apply_0.png", 70, 24, plainButton(false, true)),
        image(common + "apply_1.png", 70, 24, plainButton(true, true)),
        image(common + "fram_2btn.png", 162, 34, twoButtonFrame),
        image(common + "add_0.png", 21, 21, iconButton(Glyph::Plus, false)),
        image(common + "add_1.png", 21, 21, iconButton(Glyph::Plus, true)),
        image(common + "delete_0.png", 19, 19, iconButton(Glyph::Trash, false)),
        image(common + "delete_1.png", 19, 19, iconButton(Glyph::Trash, true)),
        image(common + "record_0.png", 19, 19, iconButton(Glyph::Record, false, true)),
        image(common + "record_1.png", 19, 19, iconButton(Glyph::Record, true, true)),
        image(common + "stop_0.png", 19, 19, iconButton(Glyph::Stop, false)),
        image(common + "stop_1.png", 19, 19, iconButton(Glyph::Stop, true)),
        image(common + "solid-delete_0.png", 21, 21, iconButton(Glyph::Trash, false)),
        image(common + "solid-delete_1.png", 21, 21, iconButton(Glyph::Trash, true)),
        image(common + "solid-cut_0.png", 21, 21, iconButton(Glyph::Scissors, false)),
        image(common + "solid-cut_1.png", 21, 21, iconButton(Glyph::Scissors, true)),
        image(common + "solid-paste_0.png", 21, 21, iconButton(Glyph::Clipboard, false)),
        image(common + "solid-paste_1.png", 21, 21, iconButton(Glyph::Clipboard, true)),
        image(common + "solid-copy_0.png", 21, 21, iconButton(Glyph::Copy, false)),
        image(common + "solid-copy_1.png", 21, 21, iconButton(Glyph::Copy, true)),
        image(common + "slider_FILLER_0.png", 14, 22, knob(false, false)),
        image(common + "slider_FILLER_1.png", 14, 22, knob(true, false)),
        image(common + "btnGroup_4_BASE.png", 164, 26, buttonGroupBase(4)),
        image(common + "btnGroup_8_BASE.png", 324, 26, buttonGroupBase(8)),
        image(common + "btnGroup_FILLER_0.png", 40, 26, buttonGroupFiller(false, false)),
        image(common + "btnGroup_FILLER_1.png", 40, 26, buttonGroupFiller(true, false)),
        image(common + "btnGroup2_FILLER_0.png", 40, 26, buttonGroupFiller(false, true)),
        image(common + "btnGroup2_FILLER_1.png", 40, 26, buttonGroupFiller(true, true)),
        image(common + "slider_11_BASE.png", 180, 22, elevenStepTrack),
        image(common + "slider_11_FILLER_0.png", 14, 22, knob(false, true)),
        image(common + "slider_11_FILLER_1.png", 14, 22, knob(true, true)),
        image(common + "btnFileListFrame.png", 150, 26, outlineFrame(true)),
        image(common + "btnFrame.png", 80, 28, outlineFrame(false)),
    };

    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        const QString stem = QStringLiteral("model_kb/k%1-").arg(it.key());
        const KeyImage key = it.value();
        all.append(image(stem + "0.png", key.size.width(), key.size.height(),
                         [key](QPainter &p, const QSize &size, const Look &look) {
                             keycap(p, area(size), look, QString(), 8, key.lowerInset, key.upperHeight);
                         }));
        all.append(image(stem + "1.png", key.size.width(), key.size.height(),
                         [key](QPainter &p, const QSize &size, const Look &look) {
                             keyFrame(p, size, look, key.lowerInset, key.upperHeight);
                         }));
    }
    return all;
}

QImage render(const SkinImage &skinImage, const Look &look)
{
    QImage canvas(skinImage.size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    skinImage.paint(p, skinImage.size, look);
    p.end();
    return canvas.convertToFormat(QImage::Format_ARGB32);
}

QImage programIcon(int size)
{
    QImage canvas(size, size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    const Look look = graphiteLook();
    const qreal s = size;
    const QRectF tile(s * 0.03, s * 0.03, s * 0.94, s * 0.94);
    QLinearGradient g(tile.topLeft(), tile.bottomLeft());
    g.setColorAt(0, QColor(0x3a, 0x3e, 0x45));
    g.setColorAt(1, QColor(0x17, 0x19, 0x1c));
    p.setPen(QPen(look.accent, qMax<qreal>(1, s / 24)));
    p.setBrush(g);
    p.drawRoundedRect(tile, s * 0.2, s * 0.2);
    // A key cap, lit from below in the accent colour.
    const QRectF cap(s * 0.22, s * 0.2, s * 0.56, s * 0.52);
    QRadialGradient halo(QPointF(s / 2, cap.bottom()), s * 0.45);
    halo.setColorAt(0, withAlpha(look.accent, 140));
    halo.setColorAt(1, withAlpha(look.accent, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(QPointF(s / 2, cap.bottom()), s * 0.42, s * 0.2);
    if (size >= 32) {
        keycap(p, cap, look);
        draw::glyph(p, Glyph::Gear, cap.adjusted(s * 0.14, s * 0.1, -s * 0.14, -s * 0.16), look.accent);
    } else {
        // Small sizes keep only what still reads: the cap and a light.
        p.setPen(QPen(look.keyEdge, 1));
        p.setBrush(look.keyTop);
        p.drawRoundedRect(cap, s * 0.08, s * 0.08);
        p.setPen(Qt::NoPen);
        p.setBrush(look.accent);
        p.drawEllipse(QPointF(s / 2, cap.center().y() - s * 0.03), s * 0.11, s * 0.11);
    }
    p.end();
    return canvas.convertToFormat(QImage::Format_ARGB32);
}

bool writeIco(const QString &path, const QVector<QImage> &images)
{
    // ICONDIR, one ICONDIRENTRY per image, then each image as a bottom-up
    // 32-bit DIB (height doubled for the AND mask, which alpha makes moot
    // but readers still expect).
    QByteArray header, bodies;
    auto put16 = [](QByteArray &out, quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    auto put32 = [](QByteArray &out, quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    put16(header, 0);
    put16(header, 1);
    put16(header, quint16(images.size()));
    const int firstOffset = 6 + 16 * images.size();
    for (const QImage &source : images) {
        if (source.isNull() || source.width() > 256 || source.height() > 256)
            return false;
        const QImage img = source.convertToFormat(QImage::Format_ARGB32);
        const int w = img.width(), h = img.height();
        const int maskStride = ((w + 31) / 32) * 4;
        QByteArray dib;
        put32(dib, 40);
        put32(dib, quint32(w));
        put32(dib, quint32(h * 2));
        put16(dib, 1);
        put16(dib, 32);
        put32(dib, 0);
        put32(dib, quint32(w * h * 4 + maskStride * h));
        put32(dib, 0);
        put32(dib, 0);
        put32(dib, 0);
        put32(dib, 0);
        for (int y = h - 1; y >= 0; --y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                const char px[4] = {char(qBlue(line[x])), char(qGreen(line[x])), char(qRed(line[x])),
                                    char(qAlpha(line[x]))};
                dib.append(px, 4);
            }
        }
        dib.append(QByteArray(maskStride * h, '\0'));

        header.append(char(w == 256 ? 0 : w));
        header.append(char(h == 256 ? 0 : h));
        header.append('\0'); // no palette
        header.append('\0');
        put16(header, 1);
        put16(header, 32);
        put32(header, quint32(dib.size()));
        put32(header, quint32(firstOffset + bodies.size()));
        bodies.append(dib);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(header) == header.size() && file.write(bodies) == bodies.size();
}
