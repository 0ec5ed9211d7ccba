// The shipped sounds, played through the view's own media objects on
// GStreamer's fake sink (real time, no audio device): each effect plays to
// its end, and the MP3 background decodes, ends and starts over. The players
// are the view's media objects in creation order: background, effects 1 to 4.
#include "myquickview.h"
#include "programfolder.h"

#include <QtTest>

#include <QtEndian>
#include <phonon/MediaObject>

namespace {

const QString kMediaDir = QStringLiteral(GEARPANEL_BIN_DIR "/modules/media");
constexpr int kWait = 15000;

QString soundName(int player)
{
    return player == 0 ? QStringLiteral("00.mp3") : QStringLiteral("0%1.wav").arg(player);
}

// A program folder holding the shipped sounds.
bool copySounds(const ProgramFolder &folder)
{
    for (int player = 0; player <= 4; ++player) {
        QFile shipped(kMediaDir + QLatin1Char('/') + soundName(player));
        if (!shipped.open(QIODevice::ReadOnly) ||
            !folder.write(QStringLiteral("modules/media/") + soundName(player), shipped.readAll()))
            return false;
    }
    return true;
}

struct Wav {
    bool valid = false;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    int ms = 0;
    int peak = 0; // largest sample magnitude, 16-bit scale
};

// Reads the RIFF chunks of a PCM WAV file.
Wav readWav(const QString &path)
{
    Wav wav;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return wav;
    const QByteArray data = file.readAll();
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE")
        return wav;
    int pos = 12;
    bool haveFormat = false;
    while (pos + 8 <= data.size()) {
        const QByteArray id = data.mid(pos, 4);
        const int size = int(qFromLittleEndian<quint32>(data.constData() + pos + 4));
        const char *body = data.constData() + pos + 8;
        if (size < 0 || pos + 8 + size > data.size())
            return wav;
        if (id == "fmt " && size >= 16) {
            haveFormat = qFromLittleEndian<quint16>(body) == 1;
            wav.channels = qFromLittleEndian<quint16>(body + 2);
            wav.rate = int(qFromLittleEndian<quint32>(body + 4));
            wav.bits = qFromLittleEndian<quint16>(body + 14);
        } else if (id == "data" && haveFormat && wav.bits == 16 && wav.channels > 0 && wav.rate > 0) {
            const int samples = size / 2;
            for (int i = 0; i < samples; ++i)
                wav.peak = std::max(wav.peak, std::abs(int(qFromLittleEndian<qint16>(body + 2 * i))));
            wav.ms = int(qint64(samples) * 1000 / (qint64(wav.rate) * wav.channels));
            wav.valid = true;
        }
        pos += 8 + size + (size & 1);
    }
    return wav;
}

} // namespace

class TestMedia : public QObject
{
    Q_OBJECT

private slots:
    void effectsAreShortCleanPcm_data();
    void effectsAreShortCleanPcm();
    void effectsPlayToTheirEnd_data();
    void effectsPlayToTheirEnd();
    void backgroundDecodesAndLoops();
};

void TestMedia::effectsAreShortCleanPcm_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("longestMs");
    // Clicks answer a click at once; the chimes may ring a little longer.
    QTest::newRow("01 chime") << 1 << 1500;
    QTest::newRow("02 page") << 2 << 600;
    QTest::newRow("03 link") << 3 << 1500;
    QTest::newRow("04 click") << 4 << 150;
}

void TestMedia::effectsAreShortCleanPcm()
{
    QFETCH(int, number);
    QFETCH(int, longestMs);
    const Wav wav = readWav(kMediaDir + QLatin1Char('/') + soundName(number));
    QVERIFY(wav.valid);
    QCOMPARE(wav.bits, 16);
    QVERIFY(wav.rate >= 22050);
    QVERIFY2(wav.ms > 20 && wav.ms <= longestMs, qPrintable(QString::number(wav.ms)));
    // Audible, and never clipped.
    QVERIFY2(wav.peak > 3000 && wav.peak < 30000, qPrintable(QString::number(wav.peak)));
}

void TestMedia::effectsPlayToTheirEnd_data()
{
    QTest::addColumn<int>("number");
    for (int n = 1; n <= 4; ++n)
        QTest::addRow("%02d", n) << n;
}

void TestMedia::effectsPlayToTheirEnd()
{
    QFETCH(int, number);
    ProgramFolder folder;
    QVERIFY(copySounds(folder));
    myQQuickView view;
    const QList<Phonon::MediaObject *> media = view.findChildren<Phonon::MediaObject *>();
    QCOMPARE(media.size(), 5);
    QSignalSpy ended(media[number], &Phonon::MediaObject::finished);

    view.setEnableAudio(true);
    view.playMedia_Index(uchar(number));
    QTRY_COMPARE_WITH_TIMEOUT(media[number]->state(), Phonon::PlayingState, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kWait);
    QVERIFY(media[number]->errorType() == Phonon::NoError);
}

void TestMedia::backgroundDecodesAndLoops()
{
    ProgramFolder folder;
    QVERIFY(copySounds(folder));
    myQQuickView view;
    Phonon::MediaObject *background = view.findChildren<Phonon::MediaObject *>().value(0);
    QVERIFY(background);
    int starts = 0;
    connect(background, &Phonon::MediaObject::stateChanged, this,
            [&starts](Phonon::State now, Phonon::State) {
                if (now == Phonon::PlayingState)
                    ++starts;
            });
    QSignalSpy ended(background, &Phonon::MediaObject::finished);

    view.setEnableAudio(true);
    view.playMedia_Index(0);
    QTRY_COMPARE_WITH_TIMEOUT(background->state(), Phonon::PlayingState, kWait);
    // A loop of a few seconds: long enough not to nag, short enough to stay
    // small.
    QTRY_VERIFY_WITH_TIMEOUT(background->totalTime() > 0, kWait);
    QVERIFY2(background->totalTime() >= 4000 && background->totalTime() <= 20000,
             qPrintable(QString::number(background->totalTime())));
    // Decoded to its very end, it starts over.
    if (background->isSeekable())
        background->seek(background->totalTime() - 400);
    QTRY_VERIFY_WITH_TIMEOUT(ended.count() >= 1, background->totalTime() + kWait);
    QTRY_VERIFY_WITH_TIMEOUT(starts >= 2 && background->state() == Phonon::PlayingState, kWait);
    QVERIFY(background->errorType() == Phonon::NoError);
    view.clearAllMedia();
}

QTEST_MAIN(TestMedia)
#include "tst_media.moc"
