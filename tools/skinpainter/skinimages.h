// The images of one skin folder: their paths below "modules/img/skin<n>/",
// their sizes and how each is painted. The sizes are those the window's
// layout places them at (a 1000 by 600 window, pages of 792 by 442 at
// (127, 96), the settings panel of 319 by 411, ...).
#pragma once

#include "keytable.h"
#include "look.h"

#include <QImage>
#include <QMap>
#include <QSize>
#include <QString>
#include <QVector>

#include <functional>

class QPainter;

struct SkinImage {
    QString path; // relative to the skin folder, e.g. "list_up/cmdBg.png"
    QSize size;
    std::function<void(QPainter &, const QSize &, const Look &)> paint;
};

// Every image of a skin folder: the fixed set, and "model_kb/k<type>-0.png"
// and "-1.png" for each key type in `keys`.
QVector<SkinImage> skinImages(const QMap<int, KeyImage> &keys);

// `image` painted in `look` on a transparent canvas of its size.
QImage render(const SkinImage &image, const Look &look);

// The program's icon (tray, desktop entry) at `size` pixels square.
QImage programIcon(int size);

// Writes an ICO file holding `images` (each at most 256 pixels square) as
// 32-bit images with alpha. False when the file cannot be written.
bool writeIco(const QString &path, const QVector<QImage> &images);
