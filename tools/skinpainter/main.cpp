// skinpainter --out IMGDIR [--hwdef FILE]... [--font FILE] [--icons DIR]
//
// Paints both skins into IMGDIR/skin1 and IMGDIR/skin2, the tray icon
// IMGDIR/logo.ico and, with --icons, the desktop icons
// DIR/gearpanel-<size>.png. The key images follow the key tables given with
// --hwdef; --font is the face used for the few words painted into images.
#include "keytable.h"
#include "look.h"
#include "skinimages.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

namespace {

bool writePng(const QString &path, const QImage &image)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}

// Key images of types no longer in the tables must not linger.
void clearKeyImages(const QString &skinDir)
{
    QDir keys(skinDir + QStringLiteral("/model_kb"));
    const QStringList old = keys.entryList({QStringLiteral("k*-*.png")}, QDir::Files);
    for (const QString &name : old)
        keys.remove(name);
}

} // namespace

int main(int argc, char *argv[])
{
    // Painting needs fonts, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Paints gearpanel's skins, tray icon and desktop icons."));
    parser.addHelpOption();
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("Image folder (modules/img)."),
                                       QStringLiteral("dir"));
    const QCommandLineOption hwdefOption(
        QStringLiteral("hwdef"), QStringLiteral("Key table file (repeatable)."), QStringLiteral("file"));
    const QCommandLineOption fontOption(QStringLiteral("font"), QStringLiteral("Font for painted words."),
                                        QStringLiteral("file"));
    const QCommandLineOption iconsOption(QStringLiteral("icons"), QStringLiteral("Folder for desktop icons."),
                                         QStringLiteral("dir"));
    parser.addOptions({outOption, hwdefOption, fontOption, iconsOption});
    parser.process(app);
    if (!parser.isSet(outOption)) {
        err << "skinpainter: --out is required\n";
        return 2;
    }

    if (parser.isSet(fontOption) && QFontDatabase::addApplicationFont(parser.value(fontOption)) < 0)
        err << "skinpainter: cannot load " << parser.value(fontOption)
            << ", painting with the default face\n";

    QVector<KeyTable> tables;
    for (const QString &path : parser.values(hwdefOption)) {
        const QVector<KeyTable> found = readKeyTables(path);
        if (found.isEmpty())
            err << "skinpainter: no key table in " << path << "\n";
        tables += found;
    }
    const QVector<SkinImage> images = skinImages(keyImages(tables));

    const QString outDir = parser.value(outOption);
    for (const Look &look : {graphiteLook(), frostLook()}) {
        const QString skinDir = outDir + QLatin1Char('/') + look.folder;
        clearKeyImages(skinDir);
        for (const SkinImage &image : images) {
            const QString path = skinDir + QLatin1Char('/') + image.path;
            if (!writePng(path, render(image, look))) {
                err << "skinpainter: cannot write " << path << "\n";
                return 1;
            }
        }
    }

    QVector<QImage> trayIcons;
    for (int size : {16, 24, 32, 48, 64})
        trayIcons.append(programIcon(size));
    if (!writeIco(outDir + QStringLiteral("/logo.ico"), trayIcons)) {
        err << "skinpainter: cannot write " << outDir << "/logo.ico\n";
        return 1;
    }

    if (parser.isSet(iconsOption)) {
        const QString iconDir = parser.value(iconsOption);
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString path = QStringLiteral("%1/gearpanel-%2.png").arg(iconDir).arg(size);
            if (!writePng(path, programIcon(size))) {
                err << "skinpainter: cannot write " << path << "\n";
                return 1;
            }
        }
    }
    return 0;
}
