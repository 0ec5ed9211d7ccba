// A scratch program folder: "modules/setting", "modules/i18n" and
// "modules/media" under a temporary directory that is the current directory
// while the object lives, as start-up makes the program's folder current.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <QtEndian>

class ProgramFolder
{
public:
    ProgramFolder() : m_previous(QDir::currentPath())
    {
        QDir root(m_dir.path());
        for (const char *sub : {"modules/setting", "modules/i18n", "modules/media"})
            root.mkpath(QString::fromLatin1(sub));
        QDir::setCurrent(m_dir.path());
    }
    ~ProgramFolder() { QDir::setCurrent(m_previous); }
    ProgramFolder(const ProgramFolder &) = delete;
    ProgramFolder &operator=(const ProgramFolder &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }
    QString path(const QString &relative) const { return QDir(m_dir.path()).absoluteFilePath(relative); }

    // Writes `content` to `relative`, creating its folders.
    bool write(const QString &relative, const QByteArray &content) const
    {
        const QString target = path(relative);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile file(target);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
    }
    QByteArray read(const QString &relative) const
    {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool exists(const QString &relative) const { return QFileInfo::exists(path(relative)); }

    // A silent 16-bit mono PCM WAV file lasting `ms` milliseconds.
    static QByteArray silentWav(int ms)
    {
        const quint32 rate = 8000;
        const quint32 dataBytes = rate * 2 * quint32(ms) / 1000;
        QByteArray wav;
        auto le32 = [&wav](quint32 v) {
            char b[4];
            qToLittleEndian(v, b);
            wav.append(b, 4);
        };
        auto le16 = [&wav](quint16 v) {
            char b[2];
            qToLittleEndian(v, b);
            wav.append(b, 2);
        };
        wav.append("RIFF");
        le32(36 + dataBytes);
        wav.append("WAVEfmt ");
        le32(16);
        le16(1); // PCM
        le16(1); // mono
        le32(rate);
        le32(rate * 2);
        le16(2);
        le16(16);
        wav.append("data");
        le32(dataBytes);
        wav.append(QByteArray(int(dataBytes), '\0'));
        return wav;
    }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};
