// Sound effects: one media object for the looping background sound and one
// for each of the four effects, so that an effect can start while another
// one or the background still plays.
#include "myquickview.h"

#include <QDir>
#include <QUrl>

#include <phonon/AudioOutput>
#include <phonon/MediaObject>
#include <phonon/MediaSource>
#include <phonon/Path>

namespace {

const char *const kBackgroundPath = "./modules/media/00.mp3";

QString effectPath(int number)
{
    return QStringLiteral("./modules/media/0%1.wav").arg(number);
}

// The GStreamer back end hands a URL to the pipeline as it is, and a URL
// without a scheme plays nothing; so a path beside the program is made an
// absolute file URL here, against the folder current at play time.
Phonon::MediaSource soundSource(const QString &relativePath)
{
    return Phonon::MediaSource(
        QUrl::fromLocalFile(QDir::cleanPath(QDir::current().absoluteFilePath(relativePath))));
}

} // namespace

void myQQuickView::createMedia()
{
    auto createPlayer = [this] {
        auto *media = new Phonon::MediaObject(this);
        auto *output = new Phonon::AudioOutput(Phonon::MusicCategory, this);
        Phonon::createPath(media, output);
        return media;
    };
    backgroundMedia = createPlayer();
    for (Phonon::MediaObject *&effect : effectMedia)
        effect = createPlayer();
    // The background loops by restarting at its own end, and effect 1 hands
    // back to it when it ends.
    connect(backgroundMedia, &Phonon::MediaObject::finished, this, &myQQuickView::playMedia_Background);
    connect(effectMedia[0], &Phonon::MediaObject::finished, this, &myQQuickView::playMedia_Background);
}

void myQQuickView::setEnableAudio(bool isEnable)
{
    audioEnabled = isEnable;
}

void myQQuickView::playMedia_Index(uchar index)
{
    if (!audioEnabled)
        return;
    if (index == 0) {
        playMedia_Background();
        return;
    }
    if (index > effectMedia.size())
        return;
    Phonon::MediaObject *effect = effectMedia[index - 1];
    // Clearing first makes a repeated effect start over instead of being
    // ignored while it still plays.
    effect->clear();
    effect->setCurrentSource(soundSource(effectPath(index)));
    effect->play();
}

void myQQuickView::playMedia_Background()
{
    backgroundMedia->setCurrentSource(soundSource(QString::fromLatin1(kBackgroundPath)));
    backgroundMedia->play();
}

void myQQuickView::clearAllMedia()
{
    // A cleared object emits no finished(), which is what ends the loop.
    backgroundMedia->clear();
    for (Phonon::MediaObject *effect : effectMedia)
        effect->clear();
}
