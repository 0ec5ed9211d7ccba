// The lighting page's live preview: the colour and opacity of every key for
// the chosen effect, stepped by one timer while the preview runs, and drawn
// by this one item in a single paint per frame (one filled rectangle per lit
// key) so that the software renderer never redraws a hundred QML items.
//
// The effect arithmetic runs in whole ticks at the keyboard's own interval
// for the effect and speed; the item repaints at most once per kFrameMs and
// only when some key changed, whatever the tick rate. QML reaches it as the
// type LightingPreview of "import Gearpanel 1.0".
#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QQuickPaintedItem>
#include <QRectF>
#include <QTimer>
#include <QVariant>

#include <random>
#include <vector>

class LightingPreview : public QQuickPaintedItem
{
    Q_OBJECT
    // Effect code as sent to the keyboard: 0x00..0x0B animated, 0x33..0x37
    // the user pictures; anything else shows the static picture.
    Q_PROPERTY(int effect READ effect WRITE setEffect NOTIFY settingsChanged)
    Q_PROPERTY(int brightness READ brightness WRITE setBrightness NOTIFY settingsChanged)
    Q_PROPERTY(int speed READ speed WRITE setSpeed NOTIFY settingsChanged)
    // 1 right, 2 left.
    Q_PROPERTY(int direction READ direction WRITE setDirection NOTIFY settingsChanged)
    // 0..6 one table colour, 7 all seven in turn.
    Q_PROPERTY(int colorChoice READ colorChoice WRITE setColorChoice NOTIFY settingsChanged)
    // 21 values: red, green, blue of the seven table colours.
    Q_PROPERTY(QVariantList colorTable READ colorTable WRITE setColorTable NOTIFY settingsChanged)
    // 384 values: red, green, blue per matrix number, shown for 0x33..0x37.
    Q_PROPERTY(QVariantList picture READ picture WRITE setPicture NOTIFY settingsChanged)
    Q_PROPERTY(bool running READ isRunning NOTIFY runningChanged)
    // Where the key pictures k<type>-0.png are ("file:" URL or path); keys
    // without a picture are drawn as plain dark keys.
    Q_PROPERTY(QString faceFolder READ faceFolder WRITE setFaceFolder NOTIFY faceFolderChanged)
    // The effect's tick interval in ms (0 for the pictures, which never tick).
    Q_PROPERTY(int tickInterval READ tickInterval NOTIFY settingsChanged)
    // What the keys cover, in their own coordinates. Keys may stand left of
    // or above the drawing (the profile keys do); the item is then placed
    // and sized to cover them, with `origin` at its top left corner.
    Q_PROPERTY(QRectF keyBounds READ keyBounds NOTIFY keysChanged)
    Q_PROPERTY(QPointF origin READ origin WRITE setOrigin NOTIFY originChanged)

public:
    static constexpr int kPositions = 128;
    static constexpr int kTableColours = 7;
    static constexpr int kLoop = 7;
    // At most this often is the item repainted (about 30 frames a second).
    static constexpr int kFrameMs = 33;
    // Ring growth per tick and band width, in the drawing's units (pixels).
    static constexpr int kRingStep = 15;
    static constexpr int kMaxRings = 3;

    explicit LightingPreview(QQuickItem *parent = nullptr);

    int effect() const { return m_effect; }
    void setEffect(int effect);
    int brightness() const { return m_brightness; }
    void setBrightness(int level);
    int speed() const { return m_speed; }
    void setSpeed(int level);
    int direction() const { return m_direction; }
    void setDirection(int direction);
    int colorChoice() const { return m_colorChoice; }
    void setColorChoice(int choice);
    QVariantList colorTable() const;
    void setColorTable(const QVariantList &values);
    QVariantList picture() const;
    void setPicture(const QVariantList &values);
    bool isRunning() const { return m_timer.isActive(); }
    QString faceFolder() const { return m_faceFolder; }
    void setFaceFolder(const QString &folder);
    int tickInterval() const { return intervalFor(m_effect, m_speed); }
    QRectF keyBounds() const { return m_bounds; }
    QPointF origin() const { return m_origin; }
    void setOrigin(const QPointF &origin);

    // The keys: a list of [matrix, x, y, width, height, type] in this item's
    // coordinates (type picks the key picture, 0 for none). Entries outside
    // the matrix or doubled are skipped.
    Q_INVOKABLE void setKeys(const QVariantList &keys);
    // Resets the counters and runs the effect's timer (none for the static
    // pictures); stop() leaves no timer running.
    Q_INVOKABLE void start();
    Q_INVOKABLE void stop();
    // Steps the effect n ticks at once, as the timer does.
    Q_INVOKABLE void advance(int ticks = 1);
    // A key press at the keyboard, by matrix number: lights it in the
    // effects that react to presses (0x03, 0x05, 0x09); releases never
    // reach here.
    Q_INVOKABLE void press(int matrix);

    // What a key shows: the colour with its opacity as alpha (0..255).
    Q_INVOKABLE QColor keyColor(int matrix) const;
    Q_INVOKABLE int keyOpacity(int matrix) const;
    // The tick counter, the table colour cursor and the path cursor.
    Q_INVOKABLE int count() const { return m_count; }
    Q_INVOKABLE int loopIndex() const { return m_loopIndex; }
    Q_INVOKABLE int cursor() const { return m_cursor; }
    Q_INVOKABLE int ringCount() const { return int(m_rings.size()); }
    // Frames painted since the item was made.
    Q_INVOKABLE int frames() const { return m_frames; }

    // The tick interval of an effect at speed 1..7 (0 counts as 1, more
    // than 7 as 7); 0 for the pictures and codes that do not animate.
    static int intervalFor(int effect, int speed);
    // A lit key's opacity at brightness 0..7: 0, else 45 + round(210 L / 7).
    static int fullOpacity(int brightness);
    // The fading step of a lit key per tick, 0 where the effect does not fade.
    static int fadeStep(int effect, int brightness);
    // Rounding to the nearest integer, halves upwards.
    static int roundHalfUp(double value);

    void paint(QPainter *painter) override;

signals:
    void settingsChanged();
    void keysChanged();
    void originChanged();
    void runningChanged();
    void faceFolderChanged();

private:
    struct Key {
        bool present = false;
        QRectF rect;
        int type = 0;
        int row = -1;
        int column = -1;
        QColor colour = Qt::black;
        int opacity = 0;
    };
    struct Ring {
        QPointF centre;
        int radius = 0;
        QColor colour;
    };
    struct Ripple {
        int row = 0;
        int column = 0;
        int distance = 0;
        QColor colour;
    };

    void onTimer();
    void resetState();
    void tick();
    void countUp();
    void renderContinuous();
    void fadeAll(int step);
    void light(int matrix, const QColor &colour);
    QColor tableColour(int index) const;
    QColor chosenColour() const;
    QColor nextLitColour();
    void lightRingBand(const QPointF &centre, int radius, const QColor &colour);
    void buildPaths();
    void loadFaces();
    bool animates() const;
    void settingsTouched();

    int m_effect = 0;
    int m_brightness = 7;
    int m_speed = 1;
    int m_direction = 1;
    int m_colorChoice = 0;
    int m_table[kTableColours * 3];
    int m_picture[kPositions * 3] = {};

    Key m_keys[kPositions];
    std::vector<int> m_snake; // every key, row by row, alternating sides
    std::vector<std::vector<int>> m_rows;
    std::vector<int> m_trailA;
    std::vector<int> m_trailB;
    QRectF m_bounds;
    QPointF m_origin;
    double m_maxDistance = 0;

    int m_count = 0;
    int m_loopIndex = 0;
    int m_cursor = 0;
    int m_spotRadius = -1;
    std::vector<Ring> m_rings;
    std::vector<Ripple> m_ripples;
    std::minstd_rand m_random;

    QString m_faceFolder;
    QHash<int, QImage> m_faces;

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_ticksDone = 0;
    bool m_dirty = true;
    // The preview was started and not stopped since (pictures run no timer).
    bool m_on = false;
    int m_frames = 0;
};
