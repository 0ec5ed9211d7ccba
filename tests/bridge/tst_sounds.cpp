// Sound effects through Phonon's GStreamer back end on its fake sink, which
// plays in real time without an audio device, so finished() really arrives.
// The players are the view's media objects in creation order: background,
// then effects 1 to 4.
#include "myquickview.h"
#include "programfolder.h"

#include <QtTest>

#include <phonon/AudioOutput>
#include <phonon/MediaObject>

#include <array>

namespace {

constexpr int kPlayers = 5;
constexpr int kWait = 10000;

// Counts, per player, how often it started playing and how often it ended.
class PlayerWatch
{
public:
    explicit PlayerWatch(myQQuickView &view) : media(view.findChildren<Phonon::MediaObject *>())
    {
        for (int i = 0; i < media.size() && i < kPlayers; ++i) {
            QObject::connect(media[i], &Phonon::MediaObject::stateChanged,
                             [this, i](Phonon::State now, Phonon::State) {
                                 if (now == Phonon::PlayingState)
                                     ++plays[i];
                             });
            QObject::connect(media[i], &Phonon::MediaObject::finished, [this, i] { ++ends[i]; });
        }
    }
    void forget()
    {
        plays.fill(0);
        ends.fill(0);
    }
    int totalPlays() const { return plays[0] + plays[1] + plays[2] + plays[3] + plays[4]; }
    bool isPlaying(int player) const { return media[player]->state() == Phonon::PlayingState; }
    // The file the player was last given, or empty when it holds none.
    QString source(int player) const
    {
        const Phonon::MediaSource source = media[player]->currentSource();
        if (source.type() == Phonon::MediaSource::Empty)
            return QString();
        return QFileInfo(source.url().toLocalFile()).canonicalFilePath();
    }

    QList<Phonon::MediaObject *> media;
    std::array<int, kPlayers> plays{};
    std::array<int, kPlayers> ends{};
};

QString soundFile(int player)
{
    return player == 0 ? QStringLiteral("modules/media/00.mp3")
                       : QStringLiteral("modules/media/0%1.wav").arg(player);
}

// Writes the five sound files; the background is WAV data under its MP3
// name, which GStreamer recognises by content.
bool writeSounds(const ProgramFolder &folder, std::array<int, kPlayers> ms)
{
    for (int player = 0; player < kPlayers; ++player) {
        if (!folder.write(soundFile(player), ProgramFolder::silentWav(ms[player])))
            return false;
    }
    return true;
}

} // namespace

class TestSounds : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void playByNumber_data();
    void playByNumber();
    void soundOffStillAllowsDirectBackground();
    void effectEndRestartsBackground_data();
    void effectEndRestartsBackground();
    void backgroundLoops();
    void clearSilencesUntilSoundZero();
    void effectsOverlapAndRestart();
    void missingFilesPlayNothing();
    void callsBeforeBackEndIsUp_data();
    void callsBeforeBackEndIsUp();
};

void TestSounds::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("tst_sounds"));
    ProgramFolder folder;
    myQQuickView view;
    QCOMPARE(view.findChildren<Phonon::MediaObject *>().size(), kPlayers);
}

void TestSounds::playByNumber_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("soundOn");
    QTest::addColumn<int>("player");

    for (int n = 0; n <= 4; ++n)
        QTest::addRow("%d plays", n) << n << true << n;
    QTest::newRow("5 does nothing") << 5 << true << -1;
    QTest::newRow("255 does nothing") << 255 << true << -1;
    QTest::newRow("sound off: 0 does nothing") << 0 << false << -1;
    QTest::newRow("sound off: 1 does nothing") << 1 << false << -1;
    QTest::newRow("sound off: 4 does nothing") << 4 << false << -1;
}

void TestSounds::playByNumber()
{
    QFETCH(int, number);
    QFETCH(bool, soundOn);
    QFETCH(int, player);
    ProgramFolder folder;
    QVERIFY(writeSounds(folder, {1500, 1500, 1500, 1500, 1500}));
    myQQuickView view;
    PlayerWatch watch(view);

    view.setEnableAudio(soundOn);
    view.playMedia_Index(uchar(number));
    if (player < 0) {
        QTest::qWait(500);
        QCOMPARE(watch.totalPlays(), 0);
        for (int p = 0; p < kPlayers; ++p)
            QCOMPARE(watch.source(p), QString());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(watch.isPlaying(player), kWait);
    // Played from the program folder, whatever relative path it was given.
    QCOMPARE(watch.source(player), QFileInfo(folder.path(soundFile(player))).canonicalFilePath());
    for (int p = 0; p < kPlayers; ++p) {
        if (p != player)
            QCOMPARE(watch.plays[p], 0);
    }
}

void TestSounds::soundOffStillAllowsDirectBackground()
{
    ProgramFolder folder;
    QVERIFY(writeSounds(folder, {1500, 300, 300, 300, 300}));
    myQQuickView view;
    PlayerWatch watch(view);

    view.setEnableAudio(false);
    QVERIFY(!view.isAudioEnabled());
    view.playMedia_Index(4);
    view.playMedia_Background();
    QTRY_VERIFY_WITH_TIMEOUT(watch.isPlaying(0), kWait);
    QCOMPARE(watch.plays[4], 0);
    // Turning sound off does not stop what already plays either.
    view.setEnableAudio(true);
    view.playMedia_Index(4);
    QTRY_VERIFY_WITH_TIMEOUT(watch.isPlaying(4), kWait);
    view.setEnableAudio(false);
    QTRY_COMPARE_WITH_TIMEOUT(watch.ends[4], 1, kWait);
}

void TestSounds::effectEndRestartsBackground_data()
{
    QTest::addColumn<int>("effect");
    QTest::addColumn<bool>("soundOffMeanwhile");
    QTest::addColumn<bool>("restarts");

    QTest::newRow("effect 1") << 1 << false << true;
    QTest::newRow("effect 1, sound turned off while it plays") << 1 << true << true;
    QTest::newRow("effect 2") << 2 << false << false;
    QTest::newRow("effect 4") << 4 << false << false;
}

void TestSounds::effectEndRestartsBackground()
{
    QFETCH(int, effect);
    QFETCH(bool, soundOffMeanwhile);
    QFETCH(bool, restarts);
    ProgramFolder folder;
    QVERIFY(writeSounds(folder, {1500, 300, 300, 300, 300}));
    myQQuickView view;
    PlayerWatch watch(view);

    view.playMedia_Index(uchar(effect));
    QTRY_VERIFY_WITH_TIMEOUT(watch.isPlaying(effect), kWait);
    if (soundOffMeanwhile)
        view.setEnableAudio(false);
    QTRY_COMPARE_WITH_TIMEOUT(watch.ends[effect], 1, kWait);
    if (restarts) {
        QTRY_VERIFY_WITH_TIMEOUT(watch.isPlaying(0), kWait);
        QCOMPARE(watch.source(0), QFileInfo(folder.path(soundFile(0))).canonicalFilePath());
    } else {
        QTest::qWait(500);
        QCOMPARE(watch.plays[0], 0);
    }
}

void TestSounds::backgroundLoops()
{
    ProgramFolder folder;
    QVERIFY(writeSounds(folder, {300, 300, 300, 300, 300}));
    myQQuickView view;
    PlayerWatch watch(view);

    view.playMedia_Index(0);
    QTRY_VERIFY_WITH_TIMEOUT(watch.plays[0] >= 3, kWait);
    QVERIFY(watch.ends[0] >= 2);
}

void TestSounds::clearSilencesUntilSoundZero()
{
    ProgramFolder folder;
    QVERIFY(writeSounds(folder, {300, 300, 300, 300, 1500}));
    myQQuickView view;
    PlayerWatch watch(view);

    view.playMedia_Index(0);
    view.playMedia_Index(4);
    QTRY_VERIFY_WITH_TIMEOUT(watch.plays[0] >= 2 && watch.isPlaying(4), kWait);

    view.clearAllMedia();
    for (int p = 0; p < kPlayers; ++p)
        QCOMPARE(watch.source(p), QString());
    QTRY_VERIFY_WITH_TIMEOUT(!watch.isPlaying(0) && !watch.isPlaying(4), kWait);
    watch.forget();
    // Several background lengths pass without the loop coming back, and
    // other sounds do not bring it back either.
    view.playMedia_Index(4);
    QTRY_VERIFY_WITH_TIMEOUT(watch.isPlaying(4), kWait);
    QTest::qWait(1200);
    QCOMPARE(watch.plays[0], 0);
    QCOMPARE(watch.ends[0], 0);

    view.playMedia_Index(0);
    QTRY_VERIFY_WITH_TIMEOUT(watch.plays[0] >= 2, kWait);
}

void TestSounds::effectsOverlapAndRestart()
{
    ProgramFolder folder;
    QVERIFY(writeSounds(folder, {300, 300, 300, 2000, 2000}));
    myQQuickView view;
    PlayerWatch watch(view);

    view.playMedia_Index(4);
    QTRY_VERIFY_WITH_TIMEOUT(watch.isPlaying(4), kWait);
    view.playMedia_Index(3);
    QTRY_VERIFY_WITH_TIMEOUT(watch.isPlaying(3), kWait);
    QVERIFY(watch.isPlaying(4));

    // Asked for again while it plays, effect 4 starts over: it never ended,
    // and its new run lasts the whole clip again.
    view.playMedia_Index(4);
    QTRY_COMPARE_WITH_TIMEOUT(watch.plays[4], 2, kWait);
    QCOMPARE(watch.ends[4], 0);
    QVERIFY(watch.media[4]->currentTime() < 1000);
    QTRY_COMPARE_WITH_TIMEOUT(watch.ends[4], 1, kWait);
    QCOMPARE(watch.plays[4], 2);
}

void TestSounds::missingFilesPlayNothing()
{
    ProgramFolder folder;
    myQQuickView view;
    PlayerWatch watch(view);

    for (int n = 0; n <= 4; ++n)
        view.playMedia_Index(uchar(n));
    QTest::qWait(1000);
    QCOMPARE(watch.totalPlays(), 0);
    // A background that cannot play must not spin restarting itself.
    QCOMPARE(watch.ends[0], 0);
    QCOMPARE(watch.ends[1], 0);
}

void TestSounds::callsBeforeBackEndIsUp_data()
{
    QTest::addColumn<QString>("calls");
    QTest::addColumn<int>("player");

    // Calls made on a new view, before any player has an audio output:
    // "on", "off", "clear", a digit for playMedia_Index, "bg" for
    // playMedia_Background.
    QTest::newRow("effect") << "4" << 4;
    QTest::newRow("background by number") << "0" << 0;
    QTest::newRow("direct background with sound off") << "off bg" << 0;
    QTest::newRow("sound off") << "off 0 1 2 3 4" << -1;
    QTest::newRow("sound off, then on again") << "off on 3" << 3;
    QTest::newRow("clear, then the background") << "clear 0" << 0;
    QTest::newRow("clear only") << "clear" << -1;
}

void TestSounds::callsBeforeBackEndIsUp()
{
    QFETCH(QString, calls);
    QFETCH(int, player);
    ProgramFolder folder;
    QVERIFY(writeSounds(folder, {1500, 1500, 1500, 1500, 1500}));
    myQQuickView view;
    PlayerWatch watch(view);
    // Nothing of the sound back end exists until a sound is asked for.
    QCOMPARE(view.findChildren<Phonon::AudioOutput *>().size(), 0);

    for (const QString &call : calls.split(QLatin1Char(' '))) {
        if (call == QLatin1String("on"))
            view.setEnableAudio(true);
        else if (call == QLatin1String("off"))
            view.setEnableAudio(false);
        else if (call == QLatin1String("clear"))
            view.clearAllMedia();
        else if (call == QLatin1String("bg"))
            view.playMedia_Background();
        else
            view.playMedia_Index(uchar(call.toInt()));
    }
    if (player < 0) {
        QTest::qWait(500);
        QCOMPARE(watch.totalPlays(), 0);
        // Silence costs nothing: the back end was never brought up.
        QCOMPARE(view.findChildren<Phonon::AudioOutput *>().size(), 0);
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(watch.isPlaying(player), kWait);
    QCOMPARE(watch.source(player), QFileInfo(folder.path(soundFile(player))).canonicalFilePath());
    // Only the player that was asked for has been given an output.
    QCOMPARE(view.findChildren<Phonon::AudioOutput *>().size(), 1);
    for (int p = 0; p < kPlayers; ++p) {
        if (p != player)
            QCOMPARE(watch.plays[p], 0);
    }
}

QTEST_MAIN(TestSounds)
#include "tst_sounds.moc"
