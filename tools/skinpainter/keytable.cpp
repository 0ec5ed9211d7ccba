#include "keytable.h"

#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace {

constexpr int kMaxRows = 1024;
// No key is drawn larger than this, whatever a table says.
constexpr int kMaxKeyWidth = 480;
constexpr int kMaxKeyHeight = 160;

// The key types of the shipped tables, in key units.
struct KnownShape {
    int type;
    qreal width;
    qreal height;
    qreal lowerWidth; // an L-shaped key's lower row, aligned right; 0 otherwise
};
constexpr KnownShape kKnownShapes[] = {
    {1, 1, 1, 0},    {2, 1.25, 1, 0}, {3, 1.5, 1, 0},  {4, 1.75, 1, 0}, {5, 2, 1, 0},
    {6, 2.25, 1, 0}, {7, 2.75, 1, 0}, {8, 6.25, 1, 0}, {9, 1, 2, 0},    {10, 1.5, 2, 1.25},
};

int itemAsInt(const QStringList &items, int index)
{
    return index < items.size() ? items[index].trimmed().toInt() : 0;
}

// Keys of one row of the drawing, left to right.
QMap<int, QVector<KeyRow>> rowsByY(const KeyTable &table)
{
    QMap<int, QVector<KeyRow>> rows;
    for (const KeyRow &key : table.rows)
        rows[key.y].append(key);
    for (auto &row : rows)
        std::sort(row.begin(), row.end(), [](const KeyRow &a, const KeyRow &b) { return a.x < b.x; });
    return rows;
}

template <typename T> T mostCommon(const QMap<T, int> &counts, T fallback)
{
    T best = fallback;
    int bestCount = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    return best;
}

} // namespace

QVector<KeyTable> readKeyTables(const QString &path)
{
    QVector<KeyTable> tables;
    if (!QFileInfo(path).isFile())
        return tables;
    QSettings file(path, QSettings::IniFormat);
    file.setIniCodec("UTF-8");
    const QStringList sections = file.childGroups();
    for (const QString &section : sections) {
        const int total = std::clamp(file.value(section + QStringLiteral("/total_HW")).toInt(), 0, kMaxRows);
        KeyTable table;
        table.section = section;
        for (int i = 1; i <= total; ++i) {
            const QStringList items =
                file.value(section + QLatin1Char('/') + QString::number(i)).toStringList();
            if (items.size() < 3)
                continue;
            KeyRow key;
            key.x = itemAsInt(items, 0);
            key.y = itemAsInt(items, 1);
            key.type = itemAsInt(items, 2);
            key.label = items.value(3);
            if (key.type < 1 || key.type > kMaxKeyType)
                continue;
            table.rows.append(key);
        }
        if (!table.rows.isEmpty())
            tables.append(table);
    }
    return tables;
}

int keyPitch(const QVector<KeyTable> &tables)
{
    QMap<int, int> distances;
    for (const KeyTable &table : tables) {
        for (const QVector<KeyRow> &row : rowsByY(table)) {
            for (int i = 1; i < row.size(); ++i) {
                const int dx = row[i].x - row[i - 1].x;
                if (dx > 0)
                    ++distances[dx];
            }
        }
    }
    return mostCommon(distances, 0);
}

QMap<int, KeyImage> keyImages(const QVector<KeyTable> &tables)
{
    QMap<int, KeyImage> images;
    int pitch = keyPitch(tables);
    if (pitch <= 0)
        pitch = 32;
    // Row pitch: the most common step between one row and the next.
    QMap<int, int> rowSteps;
    for (const KeyTable &table : tables) {
        const QList<int> ys = rowsByY(table).keys();
        for (int i = 1; i < ys.size(); ++i)
            ++rowSteps[ys[i] - ys[i - 1]];
    }
    const int rowPitch = std::clamp(mostCommon(rowSteps, pitch), pitch / 2, pitch * 2);
    const int gap = std::max(2, (pitch + 5) / 10);

    // First the narrowest slot of every type: the distance from one of its
    // keys to the next key of the same row.
    QMap<int, int> narrowestSlot;
    for (const KeyTable &table : tables) {
        for (const QVector<KeyRow> &row : rowsByY(table)) {
            for (int i = 0; i + 1 < row.size(); ++i) {
                const int slot = row[i + 1].x - row[i].x;
                const int type = row[i].type;
                if (slot > 0 && (!narrowestSlot.contains(type) || slot < narrowestSlot[type]))
                    narrowestSlot[type] = slot;
            }
        }
    }
    auto span = [&](const QVector<KeyRow> &row, int i) {
        int width = narrowestSlot.value(row[i].type, pitch);
        if (i + 1 < row.size())
            width = std::min(width, row[i + 1].x - row[i].x);
        return width;
    };
    // Then whether a type spans two rows: its keys have nothing of the next
    // row under their middle while that row goes on right beside them.
    QMap<int, int> tallVotes;
    for (const KeyTable &table : tables) {
        const QMap<int, QVector<KeyRow>> rows = rowsByY(table);
        for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
            const auto below = rows.constFind(it.key() + rowPitch);
            if (below == rows.cend())
                continue;
            const QVector<KeyRow> &row = it.value();
            const QVector<KeyRow> &under = below.value();
            for (int i = 0; i < row.size(); ++i) {
                const KeyRow &key = row[i];
                const int middle = key.x + std::min(pitch, span(row, i)) / 2;
                bool covered = false;
                bool rowGoesOn = false;
                for (int j = 0; j < under.size(); ++j) {
                    if (under[j].x <= middle && middle < under[j].x + span(under, j))
                        covered = true;
                    if (under[j].x < key.x && under[j].x >= key.x - pitch - pitch / 2)
                        rowGoesOn = true;
                }
                tallVotes[key.type] += (!covered && rowGoesOn) ? 1 : -1;
            }
        }
    }
    for (const KeyTable &table : tables) {
        for (const KeyRow &key : table.rows) {
            if (images.contains(key.type))
                continue;
            KeyImage image;
            const auto known =
                std::find_if(std::begin(kKnownShapes), std::end(kKnownShapes),
                             [&key](const KnownShape &shape) { return shape.type == key.type; });
            if (known != std::end(kKnownShapes)) {
                image.size =
                    QSize(qRound(known->width * pitch) - gap, qRound(known->height * rowPitch) - gap);
                if (known->lowerWidth > 0) {
                    image.lowerInset = qRound((known->width - known->lowerWidth) * pitch);
                    image.upperHeight = rowPitch - gap;
                }
            } else {
                const int slot = narrowestSlot.value(key.type, pitch);
                const bool tall = tallVotes.value(key.type) > 0;
                image.size = QSize(slot - gap, (tall ? 2 * rowPitch : rowPitch) - gap);
            }
            image.size = image.size.boundedTo(QSize(kMaxKeyWidth, kMaxKeyHeight)).expandedTo(QSize(4, 4));
            images.insert(key.type, image);
        }
    }
    return images;
}
