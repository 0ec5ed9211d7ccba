// Readers of the definition files that lie beside the program: languages,
// key names with their USB codes, and the key tables of the keyboard
// drawing. They only read; every file is an INI file in UTF-8, opened for the
// call and closed before it returns. A missing file or key reads as empty or
// 0, never as an error.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace definitions {

// Counts read from a file ("font/total", "total_HW", "common/total") are
// clamped to this, so that a damaged file cannot make the GUI build lists of
// billions of entries.
constexpr int kMaxEntries = 65536;

// Clamps a count read from a file into 0..kMaxEntries.
int boundedCount(const QVariant &value);

// Rows a key table is read with. The keyboard has 128 matrix positions; QML
// makes one key item per row, so a damaged count must not have it make tens
// of thousands.
constexpr int kMaxTableRows = 1024;

// The value of an INI list key as a list: a one-item list comes back from
// QSettings as plain text and is wrapped; absent gives an empty list.
QVariantList asList(const QVariant &value);

// Menu name of a six-digit language code "LLLCCC": Qt's English name of
// language LLL in upper case, then " (Simp)" for country 44, " (Trad)" for
// 208, nothing for 0, else " (" + upper-case country name + ")".
QString languageDisplayName(const QString &code);

// Every "lang_*.ini" in `dir`, as display name -> code (the six characters
// after "lang_"). Files are taken in case-insensitive name order, so of two
// with the same display name the later one wins.
QVariantMap listLanguages(const QString &dir);

// The message texts of a language: 0 and 1 the over-long macro, 2 and 3 a
// picture that cannot be opened, 4 and 5 a profile whose macro places are
// all taken (title, then text).
constexpr int kMessageCount = 6;

struct LanguageStrings {
    QStringList ui;       // [font family, string 1, ..., string n]
    QStringList messages; // "msg/0" .. "msg/5", always six texts
};
LanguageStrings loadLanguage(const QString &path);

// The list stored under `key` ("0/usbStr", "1/usbCode", ...).
QVariantList loadList(const QString &path, const QString &key);

// [total_HW, total_FW, then per row: x, y, type (int), label (text),
// matrix position (int), default key code (uint)] of `section`, total_HW
// held at kMaxTableRows. Missing rows and items read as 0 or empty text.
QVariantList loadHardwareTable(const QString &path, const QString &section);

// Name i -> low 8 bits of code i, for as many entries as the shorter list
// has; a repeated name keeps its last code.
QMap<QString, uchar> buildKeyCodes(const QVariantList &names, const QVariantList &codes);

// Path of the per-language hardware table "<dir>/HWDef<index>.bin". The index
// comes from the editable configuration file, so anything but decimal digits
// gives an empty path (read as a missing file) rather than a path that could
// leave `dir`.
QString hardwareTablePath(const QString &dir, const QString &index);

} // namespace definitions
