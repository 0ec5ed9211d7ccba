// The global settings panel in the real window: sound, animation, language,
// skin and background choices, the text colour and brightness, APPLY into
// the configuration file on disk and RESET to the factory one, all with
// real pointer and key events.
#include "guiharness.h"

#include "myquickview.h"
#include "widget.h"

#include <QImage>
#include <QQuickItem>
#include <QSettings>
#include <QtTest>

#include <phonon/MediaObject>

using guitest::GuiWindow;

namespace {

// The configuration file as a map of entry number to text, as another
// program reading it would see it.
QMap<int, QString> configOnDisk(const QString &path)
{
    QSettings file(path, QSettings::IniFormat);
    QMap<int, QString> entries;
    const int total = file.value(QStringLiteral("common/total"), 0).toInt();
    for (int i = 0; i < total; ++i)
        entries.insert(i, file.value(QStringLiteral("common/%1").arg(i)).toString());
    return entries;
}

// The first non-empty text shown inside an item.
QString textIn(const QQuickItem *item)
{
    if (!item)
        return QString();
    QList<const QQuickItem *> queue{item};
    while (!queue.isEmpty()) {
        const QQuickItem *next = queue.takeFirst();
        if (next->inherits("QQuickText") && !next->property("text").toString().isEmpty())
            return next->property("text").toString();
        for (const QQuickItem *child : next->childItems())
            queue.append(child);
    }
    return QString();
}

// The x of each tick's centre on a painted slider track, weighed by alpha
// along one row of pixels.
QList<qreal> tickCentres(const QImage &track, int row)
{
    QList<qreal> centres;
    qreal weight = 0;
    qreal sum = 0;
    for (int x = 0; x <= track.width(); ++x) {
        const int a = x < track.width() ? qAlpha(track.pixel(x, row)) : 0;
        if (a > 10) {
            weight += a;
            sum += (x + 0.5) * a;
        } else if (weight > 0) {
            centres.append(sum / weight);
            weight = 0;
            sum = 0;
        }
    }
    return centres;
}

int alphaOf(const QVariant &color)
{
    return color.value<QColor>().alpha();
}

} // namespace

class tst_GuiGlobalSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void soundOnLoopsBackgroundAndOffSilencesAll();
    void animationOffShortensEverySlide();
    void applyStoresTypedSwatchColour();
    void channelFieldsRefuseWhatIsNotAChannel_data();
    void channelFieldsRefuseWhatIsNotAChannel();
    void brightnessStepsGiveTextAlpha();
    void brightnessKnobRestsOnThePaintedTicks();
    void resetRestoresFactoryAtOnce();
    void languageChoiceTranslatesTheWindow();
    void skinAndBackgroundChoices();

private:
    QQuickItem *item(const QString &name) const { return gui->itemByName(name); }
    QQuickItem *item(const char *name) const { return gui->itemByName(QString::fromLatin1(name)); }
    bool openPanel();
    // Unrolls drop-down `list` and clicks its entry `index`.
    bool choose(const QString &list, int index);
    // Clicks an R, G or B field and types `text` into it.
    bool typeInto(const char *field, const QString &text);
    QList<Phonon::MediaObject *> players() const
    {
        return gui->view()->findChildren<Phonon::MediaObject *>();
    }
    QString configPath() const { return gui->folder().path(QStringLiteral("modules/setting/apConfig.bin")); }

    std::unique_ptr<GuiWindow> gui;
};

void tst_GuiGlobalSettings::init()
{
    gui = std::make_unique<GuiWindow>();
}

void tst_GuiGlobalSettings::cleanup()
{
    gui.reset();
}

bool tst_GuiGlobalSettings::openPanel()
{
    return gui->click(item("settingsButton")) && gui->waitForAnimations() &&
           gui->isShown(item("applyButton"));
}

bool tst_GuiGlobalSettings::choose(const QString &list, int index)
{
    QQuickItem *dropdown = item(list);
    if (!gui->click(dropdown) || !gui->waitForAnimations())
        return false;
    QQuickItem *entry = item(QStringLiteral("%1_item%2").arg(list).arg(index));
    return gui->click(entry) && gui->waitForAnimations();
}

bool tst_GuiGlobalSettings::typeInto(const char *field, const QString &text)
{
    return gui->click(item(QString::fromLatin1(field) + QStringLiteral("_input"))) && gui->typeText(text);
}

void tst_GuiGlobalSettings::soundOnLoopsBackgroundAndOffSilencesAll()
{
    // A short background, so that its loop comes round within the test.
    QVERIFY(gui->folder().write(QStringLiteral("modules/media/00.mp3"), ProgramFolder::silentWav(300)));
    QVERIFY(gui->start());
    QVERIFY(gui->view()->isAudioEnabled());
    const QList<Phonon::MediaObject *> media = players();
    QVERIFY(media.size() >= 5);
    Phonon::MediaObject *background = media.first();
    int backgroundStarts = 0;
    connect(background, &Phonon::MediaObject::stateChanged, this, [&](Phonon::State now, Phonon::State) {
        if (now == Phonon::PlayingState)
            ++backgroundStarts;
    });
    auto anyPlaying = [&] {
        for (Phonon::MediaObject *player : media) {
            if (player->state() == Phonon::PlayingState || player->state() == Phonon::BufferingState)
                return true;
        }
        return false;
    };

    QVERIFY(openPanel());
    // The configuration had sound on, but the background waits for a choice.
    QCOMPARE(backgroundStarts, 0);
    QVERIFY(choose(QStringLiteral("soundList"), 1));
    QVERIFY(!gui->view()->isAudioEnabled());
    QTRY_VERIFY(!anyPlaying());

    QVERIFY(choose(QStringLiteral("soundList"), 0));
    QVERIFY(gui->view()->isAudioEnabled());
    QTRY_COMPARE(background->state(), Phonon::PlayingState);
    QVERIFY(background->currentSource().url().toLocalFile().endsWith(QLatin1String("modules/media/00.mp3")));
    // It starts over at its end.
    QTRY_VERIFY_WITH_TIMEOUT(backgroundStarts >= 2, 15000);

    // OFF stops the background and any effect still sounding.
    QVERIFY(choose(QStringLiteral("soundList"), 1));
    QTRY_VERIFY(!anyPlaying());
    const int startsWhenOff = backgroundStarts;
    QTest::qWait(800);
    QCOMPARE(backgroundStarts, startsWhenOff);
    QCOMPARE(item("soundList")->property("currentText").toString(), QStringLiteral("OFF"));
}

void tst_GuiGlobalSettings::animationOffShortensEverySlide()
{
    QVERIFY(gui->start());
    QCOMPARE(gui->rootProperty("animation_speed").toInt(), 800);
    // The durations of the number animations below `within` that move
    // `target` (the whole of `within` when null).
    auto durations = [&](const char *within, const char *target) {
        QObject *moved = target ? item(target) : item(within);
        QList<int> found;
        for (QObject *object : item(within)->findChildren<QObject *>()) {
            if (object->inherits("QQuickNumberAnimation") &&
                object->property("target").value<QObject *>() == moved)
                found.append(object->property("duration").toInt());
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    QCOMPARE(durations("settingsPanel", "pageGlobalsetting"), (QList<int>{640, 640}));
    QCOMPARE(durations("profileMenu", nullptr), (QList<int>{800, 1200}));
    QCOMPARE(item("pageArea")->property("slideDuration").toInt(), 400);

    QVERIFY(openPanel());
    QVERIFY(choose(QStringLiteral("animationList"), 1));
    QCOMPARE(gui->rootProperty("animation_speed").toInt(), 10);
    QCOMPARE(durations("settingsPanel", "pageGlobalsetting"), (QList<int>{8, 8}));
    QCOMPARE(item("pageArea")->property("slideDuration").toInt(), 5);
    QCOMPARE(durations("profileMenu", nullptr), (QList<int>{10, 15}));

    // The slides themselves run with them.
    QVERIFY(gui->click(item("settingsButton")));
    QVERIFY(gui->waitForAnimations());
    QVERIFY(gui->click(item("funcButton1")));
    QVERIFY(gui->waitForAnimations());
    QCOMPARE(item("mainQ3")->property("shownPage").toInt(), 1);

    // Not applied: nothing stored.
    QCOMPARE(configOnDisk(configPath()).value(3), QStringLiteral("0"));
}

void tst_GuiGlobalSettings::applyStoresTypedSwatchColour()
{
    QVERIFY(gui->start());
    QVERIFY(openPanel());
    QVERIFY(gui->click(item("swatch3")));
    QVERIFY(typeInto("redField", QStringLiteral("1\n")));
    QVERIFY(typeInto("greenField", QStringLiteral("2\n")));
    // The last one is taken when the focus leaves it, here for APPLY.
    QVERIFY(typeInto("blueField", QStringLiteral("3")));
    QVERIFY(gui->click(item("applyButton")));

    QTRY_COMPARE(configOnDisk(configPath()).value(17), QStringLiteral("1"));
    const QMap<int, QString> stored = configOnDisk(configPath());
    QCOMPARE(stored.size(), 32);
    QCOMPARE(stored.value(18), QStringLiteral("2"));
    QCOMPARE(stored.value(19), QStringLiteral("3"));
    QCOMPARE(stored.value(29), QStringLiteral("3"));
    // The other swatches kept their colours.
    QCOMPARE(stored.value(8), QStringLiteral("0"));
    QCOMPARE(stored.value(14), QStringLiteral("255"));
    QCOMPARE(stored.value(15), QStringLiteral("180"));
    QCOMPARE(stored.value(16), QStringLiteral("0"));

    QVERIFY(gui->waitForAnimations());
    QVERIFY(!item("settingsPanel")->isVisible());
    const QColor text = gui->rootProperty("globalSetting_color").value<QColor>();
    QCOMPARE(QList<int>({text.red(), text.green(), text.blue(), text.alpha()}), QList<int>({1, 2, 3, 255}));
}

void tst_GuiGlobalSettings::channelFieldsRefuseWhatIsNotAChannel_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("red");
    QTest::newRow("255") << "255" << true << "255" << 255;
    QTest::newRow("0") << "0" << true << "0" << 0;
    QTest::newRow("256 stops at 25") << "256" << true << "25" << 25;
    QTest::newRow("300 stops at 30") << "300" << true << "30" << 30;
    QTest::newRow("four digits") << "1234" << true << "123" << 123;
    QTest::newRow("letters ignored") << "a7b" << true << "7" << 7;
    QTest::newRow("minus ignored") << "-5" << true << "5" << 5;
    QTest::newRow("taken when the focus leaves") << "99" << false << "99" << 99;
    QTest::newRow("emptied, the colour stays") << "\b" << false << "0" << 0;
    QTest::newRow("emptied, Enter shows it again") << "\b" << true << "0" << 0;
}

void tst_GuiGlobalSettings::channelFieldsRefuseWhatIsNotAChannel()
{
    QFETCH(QString, typed);
    QFETCH(bool, byEnter);
    QFETCH(QString, shown);
    QFETCH(int, red);
    QVERIFY(gui->start());
    QVERIFY(openPanel());
    // Swatch 0 is (0, 255, 255).
    QVERIFY(gui->click(item("swatch0")));
    QCOMPARE(item("redField_input")->property("text").toString(), QStringLiteral("0"));
    QVERIFY(typeInto("redField", typed));
    if (byEnter) {
        QVERIFY(gui->typeText(QStringLiteral("\n")));
    } else {
        // A press on an empty part of the panel ends the editing.
        QVERIFY(gui->click(gui->screenPoint(item("pageGlobalsetting"), QPointF(20, 20))));
        QVERIFY(!item("redField_input")->hasActiveFocus());
    }
    QCOMPARE(item("redField_input")->property("text").toString(), shown);
    const QColor text = gui->rootProperty("globalSetting_color").value<QColor>();
    QCOMPARE(text.red(), red);
    QCOMPARE(text.green(), 255);
    QCOMPARE(text.blue(), 255);
    // The swatch took it as well.
    QCOMPARE(item("swatch0")->property("rgb").toList().value(0).toInt(), red);
}

void tst_GuiGlobalSettings::brightnessStepsGiveTextAlpha()
{
    QVERIFY(gui->start());
    QCOMPARE(alphaOf(gui->rootProperty("globalSetting_color")), 255);
    QVERIFY(openPanel());
    QQuickItem *slider = item("brightnessSlider");
    QVERIFY(slider);
    const QVariantList stops = slider->property("scaleValue").toList();
    QVERIFY(stops.size() >= 9);

    // The knob's centre follows the pointer: a press puts it there and picks
    // the stop whose span holds the knob's left edge.
    const qreal halfKnob = item("brightnessSlider_knob")->width() / 2;
    auto atStop = [&](int stop) {
        return gui->screenPoint(slider, QPointF(stops[stop].toReal() + halfKnob + 2, slider->height() / 2));
    };
    QVERIFY(gui->click(atStop(0)));
    QCOMPARE(slider->property("currentIndex").toInt(), 0);
    QCOMPARE(alphaOf(gui->rootProperty("globalSetting_color")), 45);
    QCOMPARE(alphaOf(gui->rootProperty("globalSetting_color_enable")), 45);

    // Dragging the knob from there to the far end.
    const QPoint knob = gui->centreOf(item("brightnessSlider_knob"));
    QVERIFY(gui->drag(knob, knob + QPoint(200, 0)));
    QCOMPARE(slider->property("currentIndex").toInt(), 7);
    QCOMPARE(alphaOf(gui->rootProperty("globalSetting_color")), 255);

    // Step 3 lies in between: 45 + 3 x 210 / 7.
    QVERIFY(gui->click(atStop(3)));
    QCOMPARE(slider->property("currentIndex").toInt(), 3);
    QCOMPARE(alphaOf(gui->rootProperty("globalSetting_color")), 135);

    QVERIFY(gui->click(item("applyButton")));
    QTRY_COMPARE(configOnDisk(configPath()).value(30), QStringLiteral("3"));
}

void tst_GuiGlobalSettings::brightnessKnobRestsOnThePaintedTicks()
{
    QVERIFY(gui->start());
    QVERIFY(openPanel());
    QQuickItem *slider = item("brightnessSlider");
    QQuickItem *track = item("brightnessSlider_track");
    QQuickItem *knob = item("brightnessSlider_knob");
    QVERIFY(slider && track && knob);
    // The track as painted into the program folder, shown unscaled.
    const QImage painted(gui->folder().path(track->property("source").toUrl().path()));
    QVERIFY(!painted.isNull());
    QCOMPARE(QSizeF(painted.size()), track->size());
    // Its lower tick marks lie 6 pixels below the middle of the groove.
    const QList<qreal> ticks = tickCentres(painted, painted.height() / 2 + 6);
    QCOMPARE(ticks.size(), 8);

    // A click on each tick picks that step and leaves the knob's centre on it.
    for (int step = 7; step >= 0; --step) {
        QVERIFY(gui->click(gui->screenPoint(slider, QPointF(ticks[step], slider->height() / 2))));
        QCOMPARE(slider->property("currentIndex").toInt(), step);
        QVERIFY2(qAbs(knob->x() + knob->width() / 2 - ticks[step]) <= 0.5,
                 qPrintable(QStringLiteral("step %1: knob at %2, tick at %3")
                                .arg(step)
                                .arg(knob->x() + knob->width() / 2)
                                .arg(ticks[step])));
    }
    QCOMPARE(alphaOf(gui->rootProperty("globalSetting_color")), 45);
}

void tst_GuiGlobalSettings::resetRestoresFactoryAtOnce()
{
    const QMap<int, QString> factory =
        configOnDisk(gui->folder().path(QStringLiteral("modules/setting/apConfigD.bin")));
    QVERIFY(factory.size() == 32);
    QVERIFY(gui->start());

    // Away from the factory settings, and stored.
    QVERIFY(openPanel());
    QVERIFY(choose(QStringLiteral("skinList"), 1));
    QVERIFY(choose(QStringLiteral("languageList"), 1));
    QVERIFY(gui->click(item("sizeLarger")));
    QVERIFY(gui->click(item("swatch5")));
    QVERIFY(gui->click(item("applyButton")));
    QTRY_COMPARE(configOnDisk(configPath()).value(1), QStringLiteral("2"));
    QVERIFY(configOnDisk(configPath()) != factory);
    QCOMPARE(gui->rootProperty("skin_No").toInt(), 2);
    QCOMPARE(gui->rootProperty("globalSetting_size").toInt(), 12);
    QCOMPARE(gui->rootProperty("lang").toInt(), 1);
    QVERIFY(gui->waitForAnimations());

    QVERIFY(openPanel());
    QVERIFY(gui->click(item("resetButton")));
    // At once: file, look and texts.
    QCOMPARE(configOnDisk(configPath()), factory);
    QCOMPARE(gui->rootProperty("skin_No").toInt(), 1);
    QCOMPARE(gui->rootProperty("globalSetting_size").toInt(), 11);
    QCOMPARE(gui->rootProperty("lang").toInt(), 0);
    QCOMPARE(gui->rootProperty("globalSetting_stringList").toStringList().value(114),
             QStringLiteral("ALL SAVE"));
    QCOMPARE(item("skinList")->property("currentText").toString(), QStringLiteral("SKIN 1"));
    QCOMPARE(item("soundList")->property("currentText").toString(), QStringLiteral("ON"));
    QCOMPARE(gui->view()->isAudioEnabled(), factory.value(2) == QLatin1String("0"));
    QVERIFY(gui->rootProperty("sourceBackground").toString().contains(QLatin1String("skin1/")));
    // The panel stays open for more.
    QVERIFY(item("settingsPanel")->isVisible());
}

void tst_GuiGlobalSettings::languageChoiceTranslatesTheWindow()
{
    QVERIFY(gui->start());
    QVERIFY(openPanel());
    QQuickItem *languages = item("languageList");
    QVERIFY(languages);
    QVERIFY(gui->click(languages));
    QVERIFY(gui->waitForAnimations());
    // The Spanish entry, found by what it shows.
    int spanish = -1;
    for (int i = 0; spanish < 0; ++i) {
        QQuickItem *entry = item(QStringLiteral("languageList_item%1").arg(i));
        if (!entry)
            break;
        if (textIn(entry) == QLatin1String("SPANISH"))
            spanish = i;
    }
    QVERIFY2(spanish >= 0, "no Spanish entry in the language list");
    QVERIFY(gui->click(item(QStringLiteral("languageList_item%1").arg(spanish))));
    QVERIFY(gui->waitForAnimations());

    QCOMPARE(gui->rootProperty("lang").toInt(), spanish);
    const QStringList texts = gui->rootProperty("globalSetting_stringList").toStringList();
    QCOMPARE(texts.value(114), QStringLiteral("GUARDAR TODO"));
    QCOMPARE(gui->rootProperty("globalSetting_fontFamily").toString(), texts.value(0));
    // Texts on screen follow; the background list keeps OFF first.
    QCOMPARE(textIn(item("allSaveButton")), QStringLiteral("GUARDAR TODO"));
    QCOMPARE(textIn(item("funcButton0")), texts.value(74));
    QCOMPARE(item("backgroundList")->property("currentText").toString(), texts.value(32));
    QVERIFY(choose(QStringLiteral("backgroundList"), 1));
    QCOMPARE(item("backgroundList")->property("currentText").toString(), texts.value(31));
    QCOMPARE(item("soundList")->property("currentText").toString(), texts.value(31));

    // ALL RESET goes back to the language of the keyboard's layout.
    QVERIFY(gui->click(item("settingsButton")));
    QVERIFY(gui->waitForAnimations());
    QVERIFY(gui->click(item("allResetButton")));
    QCOMPARE(gui->rootProperty("lang").toInt(), 0);
    QCOMPARE(textIn(item("allSaveButton")), QStringLiteral("ALL SAVE"));
}

void tst_GuiGlobalSettings::skinAndBackgroundChoices()
{
    QVERIFY(gui->start());
    QVERIFY(openPanel());
    QVERIFY(gui->isShown(item("skinList")));
    QVERIFY(choose(QStringLiteral("skinList"), 1));
    QCOMPARE(gui->rootProperty("skin_No").toInt(), 2);
    QVERIFY(gui->rootProperty("sourceBackground").toString().contains(QLatin1String("skin2/")));

    // A custom background hides the keyboard picture.
    QVERIFY(gui->click(item("settingsButton")));
    QVERIFY(gui->waitForAnimations());
    QVERIFY(gui->isShown(item("keyboardPicture")));
    QVERIFY(openPanel());
    QVERIFY(choose(QStringLiteral("backgroundList"), 1));
    QCOMPARE(gui->rootProperty("isCustomBackground").toBool(), true);
    QVERIFY(!item("keyboardPicture")->isVisible());
    QVERIFY(gui->click(item("applyButton")));
    QTRY_COMPARE(configOnDisk(configPath()).value(5), QStringLiteral("true"));
    QCOMPARE(configOnDisk(configPath()).value(1), QStringLiteral("2"));
}

GUITEST_MAIN(tst_GuiGlobalSettings)
#include "tst_gui_globalsettings.moc"
