// The key tables of the keyboard drawing ("HWDef<n>.bin"), as far as the
// skins need them: where each key sits and which key type it draws with.
#pragma once

#include <QMap>
#include <QSize>
#include <QString>
#include <QVector>

struct KeyRow {
    int x = 0;
    int y = 0;
    int type = 0; // 0 draws no key
    QString label;
};

struct KeyTable {
    QString section; // the layout number, "0", "1", ...
    QVector<KeyRow> rows;
};

// Highest key type that gets images. Types come from an editable file; a
// bound keeps a damaged one from asking for millions of images.
constexpr int kMaxKeyType = 999;

// Every section of `path` that has rows ("<section>/total_HW" above 0).
// Rows with fewer than three items or a type outside 1..kMaxKeyType are
// skipped; an unreadable file gives no tables.
QVector<KeyTable> readKeyTables(const QString &path);

// How a key type is drawn: the size of "k<type>-0.png" (and of its frame
// "-1.png") and, for an L-shaped key such as the ISO Enter, how many pixels
// of the lower row's left part stay empty.
struct KeyImage {
    QSize size;
    int lowerInset = 0;  // L-shaped keys only
    int upperHeight = 0; // L-shaped keys only: height of the wide upper row
};

// The key image of every type the tables use. Types 1 to 10 have the shapes
// that modules/setting/README.md gives them, in key units of the tables'
// pitch. Any other type is measured from the drawing itself: as wide as the
// narrowest slot any of its keys has before its right-hand neighbour, and
// two rows high when its keys have nothing under them while the row below
// continues beside them. A small gap is left between neighbours.
QMap<int, KeyImage> keyImages(const QVector<KeyTable> &tables);

// The key pitch of the tables (most common neighbour distance), 0 when they
// have fewer than two keys in any row.
int keyPitch(const QVector<KeyTable> &tables);
