// Sound effects: one media object for the looping background sound and one
// for each of the four effects, so that an effect can start while another
// one or the background still plays.
//
// The sound back end starts only when a player first plays. A media object
// alone is a cheap front end; the first audio output loads the back end
// (GStreamer, its plugin registry, which a new user's first start builds,
// and the audio sinks), which at start-up would hold the window back by a
// fifth of a second or more and stay resident although most sessions play
// nothing before the user clicks, and with sound off never play at all.
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

// The player's audio output: its only child of that type, or none yet.
Phonon::AudioOutput *outputOf(const Phonon::MediaObject *media)
{
    return media->findChild<Phonon::AudioOutput *>(QString(), Qt::FindDirectChildrenOnly);
}

// `media` joined to an audio output of its own, made on its first use. A
// player whose output could not be joined (no back end) keeps that output
// and plays nothing, rather than gaining another one at every call.
Phonon::MediaObject *ready(Phonon::MediaObject *media)
{
    if (!outputOf(media))
        Phonon::createPath(media, new Phonon::AudioOutput(Phonon::MusicCategory, media));
    return media;
}

} // namespace

void myQQuickView::createMedia()
{
    backgroundMedia = new Phonon::MediaObject(this);
    for (Phonon::MediaObject *&effect : effectMedia)
        effect = new Phonon::MediaObject(this);
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
    Phonon::MediaObject *effect = ready(effectMedia[index - 1]);
    // Clearing first makes a repeated effect start over instead of being
    // ignored while it still plays.
    effect->clear();
    effect->setCurrentSource(soundSource(effectPath(index)));
    effect->play();
}

void myQQuickView::playMedia_Background()
{
    ready(backgroundMedia)->setCurrentSource(soundSource(QString::fromLatin1(kBackgroundPath)));
    backgroundMedia->play();
}

void myQQuickView::clearAllMedia()
{
    // A cleared object emits no finished(), which is what ends the loop. A
    // player that never played holds nothing, and clearing it would start
    // the back end for nothing.
    if (outputOf(backgroundMedia))
        backgroundMedia->clear();
    for (Phonon::MediaObject *effect : effectMedia) {
        if (outputOf(effect))
            effect->clear();
    }
}
