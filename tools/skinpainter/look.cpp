#include "look.h"

Look graphiteLook()
{
    Look l;
    l.folder = QStringLiteral("skin1");
    l.dark = true;
    l.windowTop = QColor(0x2c, 0x2f, 0x34);
    l.windowBottom = QColor(0x14, 0x16, 0x19);
    l.weave = QColor(255, 255, 255, 9);
    l.panelTop = QColor(0x3b, 0x3f, 0x46);
    l.panelBottom = QColor(0x25, 0x28, 0x2d);
    l.well = QColor(0x11, 0x13, 0x16, 235);
    l.edgeLight = QColor(255, 255, 255, 34);
    l.edgeDark = QColor(0, 0, 0, 190);
    l.accent = QColor(0xff, 0xa3, 0x1a);
    l.accentBright = QColor(0xff, 0xc8, 0x6b);
    l.accentDeep = QColor(0xb8, 0x62, 0x00);
    l.glyph = QColor(0xb4, 0xb9, 0xc1);
    l.chromeText = QColor(0x9a, 0xa0, 0xa9);
    l.keyTop = QColor(0x44, 0x48, 0x50);
    l.keyBottom = QColor(0x2a, 0x2d, 0x33);
    l.keyEdge = QColor(0x0b, 0x0c, 0x0e);
    l.keyLegend = QColor(0xd8, 0xdc, 0xe2);
    return l;
}

Look frostLook()
{
    Look l;
    l.folder = QStringLiteral("skin2");
    l.dark = false;
    l.windowTop = QColor(0xf1, 0xf4, 0xf8);
    l.windowBottom = QColor(0xc6, 0xcf, 0xda);
    l.weave = QColor(30, 60, 100, 10);
    l.panelTop = QColor(0x5c, 0x6c, 0x82);
    l.panelBottom = QColor(0x42, 0x50, 0x64);
    l.well = QColor(0x2c, 0x37, 0x46, 235);
    l.edgeLight = QColor(255, 255, 255, 80);
    l.edgeDark = QColor(0x17, 0x20, 0x2c, 180);
    l.accent = QColor(0x2a, 0xa4, 0xf4);
    l.accentBright = QColor(0x8f, 0xd3, 0xff);
    l.accentDeep = QColor(0x12, 0x4f, 0x88);
    l.glyph = QColor(0xd3, 0xdb, 0xe6);
    l.chromeText = QColor(0x4e, 0x5d, 0x72);
    l.keyTop = QColor(0x68, 0x79, 0x91);
    l.keyBottom = QColor(0x4a, 0x58, 0x6c);
    l.keyEdge = QColor(0x1c, 0x24, 0x30);
    l.keyLegend = QColor(0xee, 0xf3, 0xf8);
    return l;
}

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    auto lerp = [t](int x, int y) { return qRound(x + (y - x) * t); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                  lerp(a.alpha(), b.alpha()));
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}
