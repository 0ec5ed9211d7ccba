// The two looks of the skins. Every image is painted from one of these, so
// a colour changes in one place for the whole skin. Whatever the look, every
// surface that carries text (controls, keys, fields, pages) stays dark
// enough for the light text colours the settings page offers.
#pragma once

#include <QColor>
#include <QString>

struct Look {
    QString folder;   // "skin1", "skin2"
    bool dark = true; // dark surfaces with light edges, or the reverse
    QColor windowTop; // background gradient
    QColor windowBottom;
    QColor weave;    // the fine texture laid over the background
    QColor panelTop; // raised panels and buttons
    QColor panelBottom;
    QColor well;      // recessed fields and lists
    QColor edgeLight; // bevel highlight
    QColor edgeDark;  // outline and bevel shadow
    QColor accent;    // hover, selection, active state
    QColor accentBright;
    QColor accentDeep;
    QColor glyph;      // pictograms at rest, on controls
    QColor chromeText; // words painted on the window background itself
    QColor keyTop;     // key caps
    QColor keyBottom;
    QColor keyEdge;
    QColor keyLegend;
};

// Dark graphite with an amber accent.
Look graphiteLook();
// Light silver with slate controls and a blue accent.
Look frostLook();

// `a` moved towards `b` by `t` (0..1), alpha included.
QColor mix(const QColor &a, const QColor &b, qreal t);
// `c` with alpha `alpha` (0..255).
QColor withAlpha(QColor c, int alpha);
