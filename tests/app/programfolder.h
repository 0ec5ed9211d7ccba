// A scratch program folder laid out as the installed one: modules/setting
// with the files the window and the view read at start.
#pragma once

#include <QString>
#include <QTemporaryDir>

class ProgramFolder
{
public:
    // Writes apConfig.bin with `title` as "common/name", HWDef.bin with
    // layout 0 and a KeyCodeDef.bin with two keys per layout.
    explicit ProgramFolder(const QString &title = QStringLiteral("gearpanel under test"));

    QString path() const { return dir.path(); }
    QString filePath(const QString &relative) const { return dir.filePath(relative); }
    // Writes `text` to the file at `relative`, creating its folders.
    void write(const QString &relative, const QByteArray &text) const;

private:
    QTemporaryDir dir;
};
