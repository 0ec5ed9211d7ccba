// What every fuzz target of the view and the device link runs in: a scratch
// program folder that is the current directory, as start-up makes the
// program's folder current, inside a sandbox that also holds the user's home
// (HOME and the XDG folders point there). The files the user "picks" in a
// dialog live on that home's Desktop.
//
// Nothing outside the program folder may change while the target runs, apart
// from the user files named with expectUserFile() and the library caches
// (XDG_CACHE_HOME, XDG_RUNTIME_DIR): check() compares the sandbox with the
// snapshot and aborts, naming what changed, so libFuzzer keeps the input that
// did it. Every fuzz target calls it after each input.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QtGlobal>

namespace fuzz {

class Sandbox
{
public:
    // Makes the folders, points HOME and the XDG variables into the sandbox
    // and makes the program folder current; call before Qt reads them. At
    // exit the sandbox is checked once more and removed (a failed check
    // leaves it for a look).
    static Sandbox *create();
    ~Sandbox();
    Sandbox(const Sandbox &) = delete;
    Sandbox &operator=(const Sandbox &) = delete;

    QString root() const { return m_root; }
    QString programFolder() const;
    // Absolute path of `relative` inside the program folder.
    QString programPath(const QString &relative) const;
    // Absolute path of a file on the user's Desktop.
    QString userFile(const QString &name) const;
    // A folder for the target's own scratch files, not watched.
    QString scratchPath(const QString &name) const;

    // Copies the shipped definition files (modules/setting and modules/i18n
    // of the source tree) into the program folder.
    void installShippedModules() const;

    // Writes `content` to the absolute `path` and gives it a modification
    // time no earlier write had, so that no reader that caches by size and
    // time stamp can take it for the file it replaced.
    void writeFresh(const QString &path, const QByteArray &content);

    // The user file `name` on the Desktop may be written and replaced.
    void expectUserFile(const QString &name);
    // Records what lies outside the program folder now.
    void snapshot();
    // Aborts when anything watched differs from the snapshot.
    void check() const;

private:
    Sandbox();

    struct Entry {
        bool dir;
        qint64 size;
        qint64 modified;
        bool operator==(const Entry &o) const { return dir == o.dir && size == o.size && modified == o.modified; }
    };
    QMap<QString, Entry> scan() const;

    QString m_root;
    QSet<QString> m_expected;
    QMap<QString, Entry> m_snapshot;
    qint64 m_stamp = 0;
};

// Points Qt at the offscreen platform, the software Quick renderer and
// GStreamer's fake audio sink, silences the program's debug lines (a fatal
// message still aborts) and creates the QApplication. Call once, after the
// sandbox exists.
void startApplication();

// Aborts with `what` when `ok` is false: a broken promise is a finding.
void require(bool ok, const char *what);

} // namespace fuzz
