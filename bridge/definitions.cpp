#include "definitions.h"

#include <QDir>
#include <QLocale>
#include <QSettings>

#include <algorithm>

namespace definitions {

namespace {

// Definition files are written by hand in UTF-8; without the codec QSettings
// would read their non-ASCII names as Latin-1.
class DefinitionFile
{
public:
    explicit DefinitionFile(const QString &path) : m_settings(path, QSettings::IniFormat)
    {
        m_settings.setIniCodec("UTF-8");
    }
    QVariant value(const QString &key, const QVariant &fallback = QVariant()) const
    {
        return m_settings.value(key, fallback);
    }

private:
    QSettings m_settings;
};

constexpr int kCountryChinaSimplified = 44;
constexpr int kCountryTaiwanTraditional = 208;
constexpr int kHardwareRowItems = 6;

} // namespace

int boundedCount(const QVariant &value)
{
    // toLongLong so that a huge number clamps instead of wrapping negative.
    bool ok = false;
    const qlonglong n = value.toLongLong(&ok);
    if (!ok || n <= 0)
        return 0;
    return int(std::min<qlonglong>(n, kMaxEntries));
}

QVariantList asList(const QVariant &value)
{
    if (value.type() == QVariant::String) {
        const QString text = value.toString();
        return text.isEmpty() ? QVariantList() : QVariantList{text};
    }
    return value.toList();
}

QString languageDisplayName(const QString &code)
{
    const int language = code.left(3).toInt();
    const int country = code.mid(3, 3).toInt();
    QString name = QLocale::languageToString(QLocale::Language(language)).toUpper();
    if (country == kCountryChinaSimplified)
        name += QStringLiteral(" (Simp)");
    else if (country == kCountryTaiwanTraditional)
        name += QStringLiteral(" (Trad)");
    else if (country != 0)
        name += QStringLiteral(" (") + QLocale::countryToString(QLocale::Country(country)).toUpper() +
                QLatin1Char(')');
    return name;
}

QVariantMap listLanguages(const QString &dir)
{
    static const QString prefix = QStringLiteral("lang_");
    QVariantMap languages;
    const QStringList files = QDir(dir).entryList(QStringList{prefix + QStringLiteral("*.ini")}, QDir::Files,
                                                  QDir::Name | QDir::IgnoreCase);
    for (const QString &file : files) {
        const QString code = file.mid(prefix.size(), 6);
        languages.insert(languageDisplayName(code), code);
    }
    return languages;
}

LanguageStrings loadLanguage(const QString &path)
{
    const DefinitionFile file(path);
    LanguageStrings strings;
    strings.ui.append(file.value(QStringLiteral("font/family")).toString());
    const int total = boundedCount(file.value(QStringLiteral("font/total"), 0));
    for (int k = 1; k <= total; ++k)
        strings.ui.append(file.value(QStringLiteral("strings/%1").arg(k)).toString());
    for (int k = 0; k < kMessageCount; ++k)
        strings.messages.append(file.value(QStringLiteral("msg/%1").arg(k)).toString());
    return strings;
}

QVariantList loadList(const QString &path, const QString &key)
{
    return asList(DefinitionFile(path).value(key));
}

QVariantList loadHardwareTable(const QString &path, const QString &section)
{
    if (path.isEmpty())
        return {0, 0};
    const DefinitionFile file(path);
    const QString group = section + QLatin1Char('/');
    // The row count handed on is the clamped one, so QML never walks past
    // the rows it was given.
    const int totalHW = std::min(boundedCount(file.value(group + QStringLiteral("total_HW"), 0)), kMaxTableRows);
    QVariantList table{totalHW, file.value(group + QStringLiteral("total_FW"), 0).toInt()};
    table.reserve(2 + kHardwareRowItems * totalHW);
    for (int i = 1; i <= totalHW; ++i) {
        const QVariantList row = asList(file.value(group + QString::number(i)));
        table.append(row.value(0).toInt());
        table.append(row.value(1).toInt());
        table.append(row.value(2).toInt());
        table.append(row.value(3).toString());
        table.append(row.value(4).toInt());
        table.append(row.value(5).toUInt());
    }
    return table;
}

QMap<QString, uchar> buildKeyCodes(const QVariantList &names, const QVariantList &codes)
{
    QMap<QString, uchar> keyCodes;
    const int count = std::min(names.size(), codes.size());
    for (int i = 0; i < count; ++i)
        keyCodes.insert(names.at(i).toString(), static_cast<uchar>(codes.at(i).toUInt() & 0xFF));
    return keyCodes;
}

QString hardwareTablePath(const QString &dir, const QString &index)
{
    if (index.isEmpty())
        return {};
    for (const QChar c : index) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {};
    }
    return dir + QStringLiteral("/HWDef") + index + QStringLiteral(".bin");
}

} // namespace definitions
