#include "lightingpreview.h"

#include <QFileInfo>
#include <QLineF>
#include <QUrl>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kDefaultTable[LightingPreview::kTableColours * 3] = {
    255, 0, 0, 0, 255, 0, 255, 255, 0, 0, 0, 255, 0, 255, 255, 255, 0, 255, 255, 255, 255,
};

// The keyboard's own tick intervals, speed 1 to 7.
constexpr int kIntervals[12][7] = {
    {600, 900, 1200, 1500, 1800, 2100, 2400}, // 0x00
    {16, 48, 64, 96, 112, 144, 160},          // 0x01
    {37, 57, 77, 97, 117, 137, 157},          // 0x02
    {22, 66, 88, 132, 154, 198, 220},         // 0x03
    {15, 30, 45, 60, 75, 90, 105},            // 0x04
    {10, 20, 25, 35, 40, 50, 55},             // 0x05
    {7, 21, 28, 42, 49, 63, 70},              // 0x06
    {15, 20, 25, 30, 35, 40, 45},             // 0x07
    {30, 40, 50, 60, 70, 80, 90},             // 0x08
    {10, 20, 25, 35, 40, 50, 55},             // 0x09
    {7, 21, 28, 42, 49, 63, 70},              // 0x0A
    {10, 15, 20, 25, 30, 35, 40},             // 0x0B
};

// Breathing runs count 0..101, neon 0..254.
constexpr int kBreathPeriod = 102;
constexpr int kNeonPeriod = 255;
// Marquee: ticks from one table colour to the next, and the offset per key.
constexpr int kMarqueeBlend = 32;
constexpr int kMarqueeKeyOffset = 4;
// The gradient waves go once round red, blue, green in this many steps.
constexpr int kCycle = 768;
constexpr int kWaveStep = 16;
// The other counters wrap here, a multiple of the marquee's and the waves'
// periods, so that a preview left running for weeks never overflows and
// never jumps.
constexpr int kCountWrap = 672 * 1000000;
// A timer that fell far behind (a stalled event loop) does not replay
// every missed tick.
constexpr qint64 kMaxCatchUp = 64;

bool isPicture(int effect)
{
    return effect >= 0x33 && effect <= 0x37;
}

// Position p (any integer) on the colour circle red -> blue -> green -> red.
QColor cycleColour(int p)
{
    p = ((p % kCycle) + kCycle) % kCycle;
    const int f = p % 256;
    switch (p / 256) {
    case 0:
        return QColor(255 - f, 0, f);
    case 1:
        return QColor(0, f, 255 - f);
    default:
        return QColor(f, 255 - f, 0);
    }
}

int clampInt(int v, int lo, int hi)
{
    return std::max(lo, std::min(v, hi));
}

int channelOf(const QVariant &v)
{
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return 0;
    return clampInt(int(d), 0, 255);
}

} // namespace

LightingPreview::LightingPreview(QQuickItem *parent) : QQuickPaintedItem(parent), m_random(1)
{
    std::copy(std::begin(kDefaultTable), std::end(kDefaultTable), m_table);
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LightingPreview::onTimer);
}

int LightingPreview::roundHalfUp(double value)
{
    return int(std::floor(value + 0.5));
}

int LightingPreview::intervalFor(int effect, int speed)
{
    if (effect < 0 || effect > 0x0B)
        return 0;
    return kIntervals[effect][clampInt(speed, 1, 7) - 1];
}

int LightingPreview::fullOpacity(int brightness)
{
    brightness = clampInt(brightness, 0, 7);
    return brightness == 0 ? 0 : 45 + roundHalfUp(210.0 * brightness / 7);
}

int LightingPreview::fadeStep(int effect, int brightness)
{
    int n = 0;
    switch (effect) {
    case 0x02:
        n = 20;
        break;
    case 0x03:
        n = 30;
        break;
    case 0x05:
        n = 10;
        break; // the ripple fades as the rain does
    case 0x08:
        n = 60;
        break;
    case 0x09:
        n = 10;
        break;
    case 0x0B:
        n = 7;
        break;
    default:
        return 0;
    }
    return roundHalfUp(double(fullOpacity(brightness)) / n);
}

void LightingPreview::setEffect(int effect)
{
    if (effect == m_effect)
        return;
    m_effect = effect;
    settingsTouched();
}

void LightingPreview::setBrightness(int level)
{
    level = clampInt(level, 0, 7);
    if (level == m_brightness)
        return;
    m_brightness = level;
    settingsTouched();
}

void LightingPreview::setSpeed(int level)
{
    level = clampInt(level, 0, 7);
    if (level == m_speed)
        return;
    m_speed = level;
    settingsTouched();
}

void LightingPreview::setDirection(int direction)
{
    direction = direction == 2 ? 2 : 1;
    if (direction == m_direction)
        return;
    m_direction = direction;
    settingsTouched();
}

void LightingPreview::setColorChoice(int choice)
{
    choice = clampInt(choice, 0, kLoop);
    if (choice == m_colorChoice)
        return;
    m_colorChoice = choice;
    settingsTouched();
}

QVariantList LightingPreview::colorTable() const
{
    QVariantList list;
    for (int v : m_table)
        list << v;
    return list;
}

void LightingPreview::setColorTable(const QVariantList &values)
{
    bool changed = false;
    for (int i = 0; i < kTableColours * 3; ++i) {
        const int v = i < values.size() ? channelOf(values.at(i)) : kDefaultTable[i];
        changed = changed || v != m_table[i];
        m_table[i] = v;
    }
    if (changed)
        settingsTouched();
}

QVariantList LightingPreview::picture() const
{
    QVariantList list;
    for (int v : m_picture)
        list << v;
    return list;
}

void LightingPreview::setPicture(const QVariantList &values)
{
    bool changed = false;
    for (int i = 0; i < kPositions * 3; ++i) {
        const int v = i < values.size() ? channelOf(values.at(i)) : 0;
        changed = changed || v != m_picture[i];
        m_picture[i] = v;
    }
    if (changed)
        settingsTouched();
}

void LightingPreview::setKeys(const QVariantList &keys)
{
    for (Key &key : m_keys)
        key = Key();
    m_bounds = QRectF();
    for (const QVariant &entry : keys) {
        const QVariantList k = entry.toList();
        if (k.size() < 5)
            continue;
        bool ok = false;
        const int matrix = k.at(0).toInt(&ok);
        if (!ok || matrix < 0 || matrix >= kPositions || m_keys[matrix].present)
            continue;
        const QRectF rect(k.at(1).toDouble(), k.at(2).toDouble(), k.at(3).toDouble(), k.at(4).toDouble());
        if (!rect.isValid() || !std::isfinite(rect.x()) || !std::isfinite(rect.y()))
            continue;
        m_keys[matrix].present = true;
        m_keys[matrix].rect = rect;
        m_keys[matrix].type = k.size() > 5 ? std::max(0, k.at(5).toInt()) : 0;
        m_bounds = m_bounds.isNull() ? rect : m_bounds.united(rect);
    }
    buildPaths();
    resetState();
    loadFaces();
    emit keysChanged();
    settingsTouched();
}

void LightingPreview::setOrigin(const QPointF &origin)
{
    if (origin == m_origin || !std::isfinite(origin.x()) || !std::isfinite(origin.y()))
        return;
    m_origin = origin;
    emit originChanged();
    update();
}

void LightingPreview::setFaceFolder(const QString &folder)
{
    if (folder == m_faceFolder)
        return;
    m_faceFolder = folder;
    loadFaces();
    update();
    emit faceFolderChanged();
}

void LightingPreview::loadFaces()
{
    m_faces.clear();
    if (m_faceFolder.isEmpty())
        return;
    const QUrl url(m_faceFolder);
    const QString dir = url.isLocalFile() ? url.toLocalFile() : m_faceFolder;
    for (const Key &key : m_keys) {
        if (!key.present || key.type <= 0 || m_faces.contains(key.type))
            continue;
        const QString path = dir + QStringLiteral("k%1-0.png").arg(key.type);
        QImage face;
        if (QFileInfo(path).isFile() && face.load(path))
            m_faces.insert(key.type, face.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        else
            m_faces.insert(key.type, QImage());
    }
}

void LightingPreview::buildPaths()
{
    std::vector<int> order;
    for (int m = 0; m < kPositions; ++m) {
        if (m_keys[m].present)
            order.push_back(m);
    }
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return m_keys[a].rect.center().y() < m_keys[b].rect.center().y();
    });
    // A row holds the keys whose centres lie within half a key of the first
    // key's centre; the tall keys of the numeric block join the upper row.
    m_rows.clear();
    double rowY = 0;
    for (int m : order) {
        const QRectF &r = m_keys[m].rect;
        if (m_rows.empty() || r.center().y() - rowY > r.height() / 2) {
            m_rows.emplace_back();
            rowY = r.center().y();
        }
        m_rows.back().push_back(m);
    }
    m_snake.clear();
    for (size_t i = 0; i < m_rows.size(); ++i) {
        std::vector<int> &row = m_rows[i];
        std::stable_sort(row.begin(), row.end(),
                         [this](int a, int b) { return m_keys[a].rect.x() < m_keys[b].rect.x(); });
        for (size_t c = 0; c < row.size(); ++c) {
            m_keys[row[c]].row = int(i);
            m_keys[row[c]].column = int(c);
        }
        if (i % 2 == 0)
            m_snake.insert(m_snake.end(), row.begin(), row.end());
        else
            m_snake.insert(m_snake.end(), row.rbegin(), row.rend());
    }
    m_trailA.clear();
    m_trailB.clear();
    if (!m_rows.empty()) {
        m_trailA = m_rows.front();
        m_trailB.assign(m_rows.back().rbegin(), m_rows.back().rend());
    }
    m_maxDistance = std::hypot(m_bounds.width(), m_bounds.height());
}

bool LightingPreview::animates() const
{
    return intervalFor(m_effect, m_speed) > 0;
}

void LightingPreview::settingsTouched()
{
    emit settingsChanged();
    if (m_on)
        start();
}

void LightingPreview::resetState()
{
    m_count = 0;
    m_loopIndex = 0;
    m_cursor = 0;
    m_spotRadius = -1;
    m_rings.clear();
    m_ripples.clear();
    m_random.seed(1);
    for (Key &key : m_keys) {
        key.opacity = 0;
        key.colour = Qt::black;
    }
    m_dirty = true;
}

void LightingPreview::start()
{
    const bool wasRunning = m_timer.isActive();
    m_on = true;
    m_timer.stop();
    resetState();
    renderContinuous();
    const int interval = intervalFor(m_effect, m_speed);
    if (interval > 0) {
        m_ticksDone = 0;
        m_clock.start();
        m_timer.start(std::max(interval, int(kFrameMs)));
    }
    update();
    m_dirty = false;
    if (wasRunning != m_timer.isActive())
        emit runningChanged();
}

void LightingPreview::stop()
{
    m_on = false;
    if (!m_timer.isActive())
        return;
    m_timer.stop();
    emit runningChanged();
}

void LightingPreview::onTimer()
{
    const int interval = intervalFor(m_effect, m_speed);
    if (interval <= 0)
        return;
    const qint64 due = m_clock.elapsed() / interval;
    qint64 ticks = due - m_ticksDone;
    if (ticks > kMaxCatchUp) {
        m_ticksDone = due - kMaxCatchUp;
        ticks = kMaxCatchUp;
    }
    if (ticks <= 0)
        return;
    m_ticksDone += ticks;
    advance(int(ticks));
    if (m_dirty) {
        update();
        m_dirty = false;
    }
}

void LightingPreview::advance(int ticks)
{
    for (int i = 0; i < ticks; ++i)
        tick();
}

QColor LightingPreview::tableColour(int index) const
{
    index = clampInt(index, 0, kTableColours - 1);
    return QColor(m_table[3 * index], m_table[3 * index + 1], m_table[3 * index + 2]);
}

QColor LightingPreview::chosenColour() const
{
    return tableColour(m_colorChoice == kLoop ? m_loopIndex : m_colorChoice);
}

QColor LightingPreview::nextLitColour()
{
    if (m_colorChoice != kLoop)
        return tableColour(m_colorChoice);
    const QColor colour = tableColour(m_loopIndex);
    m_loopIndex = (m_loopIndex + 1) % kTableColours;
    return colour;
}

void LightingPreview::light(int matrix, const QColor &colour)
{
    if (matrix < 0 || matrix >= kPositions || !m_keys[matrix].present)
        return;
    Key &key = m_keys[matrix];
    const int full = fullOpacity(m_brightness);
    if (key.colour != colour || key.opacity != full)
        m_dirty = true;
    key.colour = colour;
    key.opacity = full;
}

void LightingPreview::fadeAll(int step)
{
    for (Key &key : m_keys) {
        if (key.opacity > 0 && step > 0) {
            key.opacity = std::max(0, key.opacity - step);
            m_dirty = true;
        }
    }
}

void LightingPreview::lightRingBand(const QPointF &centre, int radius, const QColor &colour)
{
    for (int m = 0; m < kPositions; ++m) {
        if (!m_keys[m].present)
            continue;
        const double d = QLineF(centre, m_keys[m].rect.center()).length();
        if (d <= radius && d > radius - kRingStep)
            light(m, colour);
    }
}

// The effects whose every key follows from the counters alone.
void LightingPreview::renderContinuous()
{
    const int full = fullOpacity(m_brightness);
    const double width = std::max(1.0, m_bounds.width());
    const QPointF centre = m_bounds.center();
    const double reach = std::max(1.0, m_maxDistance / 2);
    const int sign = m_direction == 2 ? -1 : 1;
    const int snakeSize = int(m_snake.size());
    std::vector<int> snakeIndex(kPositions, 0);
    if (m_effect == 0x04) {
        for (int i = 0; i < snakeSize; ++i)
            snakeIndex[m_snake[i]] = i;
    }

    for (int m = 0; m < kPositions; ++m) {
        Key &key = m_keys[m];
        if (!key.present)
            continue;
        QColor colour = key.colour;
        int opacity = full;
        switch (m_effect) {
        case 0x01:
            colour = chosenColour();
            opacity = roundHalfUp((m_count < 51 ? 5.0 * m_count : 5.0 * (kBreathPeriod - m_count)) *
                                  m_brightness / 7);
            break;
        case 0x04: {
            const int p = (m_count + snakeIndex[m] * kMarqueeKeyOffset) % (kTableColours * kMarqueeBlend);
            const QColor a = tableColour(p / kMarqueeBlend);
            const QColor b = tableColour((p / kMarqueeBlend + 1) % kTableColours);
            const double f = double(p % kMarqueeBlend) / kMarqueeBlend;
            colour = QColor(roundHalfUp(a.red() + (b.red() - a.red()) * f),
                            roundHalfUp(a.green() + (b.green() - a.green()) * f),
                            roundHalfUp(a.blue() + (b.blue() - a.blue()) * f));
            break;
        }
        case 0x06:
        case 0x0A: {
            const double t = m_effect == 0x06 ? (key.rect.center().x() - m_bounds.left()) / width
                                              : QLineF(centre, key.rect.center()).length() / reach;
            colour =
                cycleColour(roundHalfUp(t * kCycle) + sign * kWaveStep * (m_count % (kCycle / kWaveStep)));
            break;
        }
        case 0x07: {
            const int f = roundHalfUp(255.0 * (m_count % 85) / 85);
            switch (m_count / 85) {
            case 0:
                colour = QColor(255 - f, 0, f);
                break;
            case 1:
                colour = QColor(0, f, 255 - f);
                break;
            default:
                colour = QColor(f, 255 - f, 0);
                break;
            }
            break;
        }
        case 0x02:
        case 0x03:
        case 0x05:
        case 0x08:
        case 0x09:
        case 0x0B:
            continue; // lit key by key
        default:
            if (isPicture(m_effect)) {
                colour = QColor(m_picture[3 * m], m_picture[3 * m + 1], m_picture[3 * m + 2]);
                if (colour == Qt::black)
                    opacity = 0;
            } else if (m_colorChoice == kLoop) {
                // The static demonstration: the colour circle across the keys.
                colour = cycleColour(roundHalfUp((key.rect.center().x() - m_bounds.left()) / width * kCycle));
            } else {
                colour = chosenColour();
            }
            break;
        }
        if (colour != key.colour || opacity != key.opacity) {
            key.colour = colour;
            key.opacity = opacity;
            m_dirty = true;
        }
    }
}

void LightingPreview::countUp()
{
    m_count = m_count >= kCountWrap - 1 ? 0 : m_count + 1;
}

void LightingPreview::tick()
{
    const int step = fadeStep(m_effect, m_brightness);
    switch (m_effect) {
    case 0x01:
        m_count = (m_count + 1) % kBreathPeriod;
        if (m_count == 0 && m_colorChoice == kLoop)
            m_loopIndex = (m_loopIndex + 1) % kTableColours;
        renderContinuous();
        return;
    case 0x07:
        m_count = (m_count + 1) % kNeonPeriod;
        renderContinuous();
        return;
    case 0x04:
    case 0x06:
    case 0x0A:
        countUp();
        renderContinuous();
        return;
    case 0x02:
        fadeAll(step);
        if (!m_snake.empty()) {
            light(m_snake[m_cursor % m_snake.size()], nextLitColour());
            m_cursor = int((m_cursor + 1) % m_snake.size());
        }
        countUp();
        return;
    case 0x03:
        fadeAll(step);
        countUp();
        return;
    case 0x05:
        fadeAll(step);
        for (Ripple &r : m_ripples) {
            ++r.distance;
            const std::vector<int> &row = m_rows[r.row];
            if (r.column - r.distance >= 0)
                light(row[r.column - r.distance], r.colour);
            if (r.column + r.distance < int(row.size()))
                light(row[r.column + r.distance], r.colour);
        }
        m_ripples.erase(std::remove_if(m_ripples.begin(), m_ripples.end(),
                                       [this](const Ripple &r) {
                                           return r.column - r.distance <= 0 &&
                                                  r.column + r.distance >= int(m_rows[r.row].size()) - 1;
                                       }),
                        m_ripples.end());
        countUp();
        return;
    case 0x08: {
        fadeAll(step);
        if (!m_snake.empty()) {
            std::uniform_int_distribution<int> pick(0, int(m_snake.size()) - 1);
            m_cursor = m_snake[pick(m_random)];
            light(m_cursor, nextLitColour());
        }
        countUp();
        return;
    }
    case 0x09:
        fadeAll(step);
        for (Ring &ring : m_rings) {
            ring.radius += kRingStep;
            lightRingBand(ring.centre, ring.radius, ring.colour);
        }
        m_rings.erase(std::remove_if(m_rings.begin(), m_rings.end(),
                                     [this](const Ring &r) { return r.radius - kRingStep > m_maxDistance; }),
                      m_rings.end());
        countUp();
        return;
    case 0x0B: {
        fadeAll(step);
        const int trail = int(std::max(m_trailA.size(), m_trailB.size()));
        const QColor colour = tableColour(m_loopIndex);
        if (m_cursor < trail) {
            if (m_cursor < int(m_trailA.size()))
                light(m_trailA[m_cursor], colour);
            if (m_cursor < int(m_trailB.size()))
                light(m_trailB[m_cursor], colour);
            ++m_cursor;
        } else {
            m_spotRadius = std::max(0, m_spotRadius) + kRingStep;
            lightRingBand(m_bounds.center(), m_spotRadius, colour);
            // The ring has left the keyboard: the next round, in the next colour.
            if (m_spotRadius - kRingStep > m_maxDistance / 2) {
                m_cursor = 0;
                m_spotRadius = -1;
                m_loopIndex = (m_loopIndex + 1) % kTableColours;
            }
        }
        countUp();
        return;
    }
    default:
        countUp(); // the static pictures never change
        return;
    }
}

void LightingPreview::press(int matrix)
{
    if (matrix < 0 || matrix >= kPositions || !m_keys[matrix].present)
        return;
    switch (m_effect) {
    case 0x03:
        light(matrix, nextLitColour());
        break;
    case 0x05: {
        const QColor colour = nextLitColour();
        light(matrix, colour);
        const Key &key = m_keys[matrix];
        if (key.row >= 0)
            m_ripples.push_back({key.row, key.column, 0, colour});
        break;
    }
    case 0x09:
        if (int(m_rings.size()) >= kMaxRings)
            return;
        m_rings.push_back({m_keys[matrix].rect.center(), 0, nextLitColour()});
        light(matrix, m_rings.back().colour);
        break;
    default:
        return;
    }
    if (m_dirty) {
        update();
        m_dirty = false;
    }
}

QColor LightingPreview::keyColor(int matrix) const
{
    if (matrix < 0 || matrix >= kPositions || !m_keys[matrix].present)
        return QColor(0, 0, 0, 0);
    QColor c = m_keys[matrix].colour;
    c.setAlpha(m_keys[matrix].opacity);
    return c;
}

int LightingPreview::keyOpacity(int matrix) const
{
    if (matrix < 0 || matrix >= kPositions || !m_keys[matrix].present)
        return 0;
    return m_keys[matrix].opacity;
}

void LightingPreview::paint(QPainter *painter)
{
    ++m_frames;
    static const QColor unlit(0x26, 0x28, 0x2c);
    painter->translate(-m_origin);
    for (const Key &key : m_keys) {
        if (!key.present)
            continue;
        const QImage face = m_faces.value(key.type);
        if (face.isNull())
            painter->fillRect(key.rect.adjusted(1, 1, -1, -1), unlit);
        else
            painter->drawImage(key.rect, face);
        if (key.opacity <= 0)
            continue;
        QColor c = key.colour;
        c.setAlpha(key.opacity);
        painter->fillRect(key.rect.adjusted(3, 3, -3, -3), c);
    }
}
