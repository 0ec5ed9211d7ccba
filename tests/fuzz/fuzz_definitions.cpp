// The definition files beside the program as a user (or a broken update)
// could damage them, read through the view's slots as QML calls them at
// start and on a language change.
//
// Input: byte 0 - '0' (mod 7) names the file that is replaced by the rest
// of the input; every other file is the shipped one:
//   0 the English language file        4 the per-language key table HWDef0.bin
//   1 one more language file, its name  5 the key tables by language HWDef1.bin
//     up to the first newline           6 the configuration's factory copy,
//   2 the key names and codes              made the configuration by a reset
//   3 the start-up layout HWDef.bin
//     (read by a new view)
//
// Promises checked besides the sanitizers' own: a key table always holds as
// many rows as its first item says (QML walks them by that count), a
// language's texts hold the font family and no more strings than allowed,
// the key-code map is no larger than the shorter of its two lists.
#include "definitions.h"
#include "fuzzsandbox.h"
#include "myquickview.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>

namespace {

fuzz::Sandbox *sandbox;
myQQuickView *view;

const char *const kFiles[] = {
    "modules/i18n/lang_031000.ini", nullptr,
    "modules/setting/KeyCodeDef.bin", "modules/setting/HWDef.bin",
    "modules/setting/HWDef0.bin", "modules/setting/HWDef1.bin",
    "modules/setting/apConfigD.bin",
};
constexpr int kChoices = int(sizeof kFiles / sizeof kFiles[0]);
constexpr int kExtraLanguage = 1;
constexpr int kStartLayout = 3;
constexpr int kFactoryConfig = 6;
constexpr int kMaxNameBytes = 40;

QMap<QString, QByteArray> shipped; // program-relative path -> contents

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void restore(const QString &relative)
{
    sandbox->writeFresh(sandbox->programPath(relative), shipped.value(relative));
}

void checkTable(const QVariantList &table)
{
    fuzz::require(table.size() >= 2, "a key table starts with its two counts");
    const int rows = table.at(0).toInt();
    fuzz::require(rows >= 0 && rows <= definitions::kMaxTableRows && table.size() == 2 + 6 * rows,
                  "a key table holds the rows its count says");
}

void readEverything(myQQuickView &v, uchar languageNumber)
{
    const QVariantMap languages = v.chkLanguages();
    int asked = 0;
    for (auto it = languages.begin(); it != languages.end() && asked < 4; ++it, ++asked) {
        const QStringList texts = v.getGlobalStrings(it.value().toString());
        fuzz::require(!texts.isEmpty() && texts.size() <= 1 + definitions::kMaxEntries,
                      "a language's texts are the font and at most the allowed strings");
    }
    const QVariantList names = v.loadUsbStr();
    const QVariantList codes = v.loadUsbCode();
    v.syncFW();
    fuzz::require(v.keyCodeMap().size() <= std::min(names.size(), codes.size()),
                  "no more key codes than names and codes");
    checkTable(v.loadHWDef());
    checkTable(v.loadLangName(0));
    checkTable(v.loadLangName(1));
    checkTable(v.loadLangName(languageNumber));
    v.loadApConfig();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    sandbox = fuzz::Sandbox::create();
    fuzz::startApplication();
    sandbox->installShippedModules();
    for (const char *file : kFiles)
        if (file)
            shipped.insert(QString::fromLatin1(file), contents(sandbox->programPath(QString::fromLatin1(file))));
    const QString otherLanguage = QStringLiteral("modules/i18n/lang_111000.ini");
    shipped.insert(otherLanguage, contents(sandbox->programPath(otherLanguage)));
    view = new myQQuickView;
    sandbox->snapshot();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int choice = uchar(data[0] - '0') % kChoices;
    QByteArray bytes(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const uchar languageNumber = size > 1 ? data[1] : 0;

    QString extraLanguage;
    if (choice == kExtraLanguage) {
        // The name is whatever a file name can hold; the folder stays i18n.
        const int end = bytes.indexOf('\n');
        QByteArray name = bytes.left(std::min(end < 0 ? int(bytes.size()) : end, kMaxNameBytes));
        bytes.remove(0, end < 0 ? int(bytes.size()) : end + 1);
        name.replace('/', '_').replace('\0', '_');
        extraLanguage = QStringLiteral("modules/i18n/lang_") + QFile::decodeName(name) + QStringLiteral(".ini");
        sandbox->writeFresh(sandbox->programPath(extraLanguage), bytes);
    } else {
        sandbox->writeFresh(sandbox->programPath(QString::fromLatin1(kFiles[choice])), bytes);
    }
    if (choice == kFactoryConfig) {
        view->resetApconfig();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    if (choice == kStartLayout) {
        myQQuickView fresh;
        readEverything(fresh, languageNumber);
    } else {
        readEverything(*view, languageNumber);
    }

    // Back to the shipped files, so that no input depends on another.
    if (choice == kExtraLanguage) {
        QFile::remove(sandbox->programPath(extraLanguage));
        restore(QStringLiteral("modules/i18n/lang_031000.ini"));
        restore(QStringLiteral("modules/i18n/lang_111000.ini"));
    } else {
        restore(QString::fromLatin1(kFiles[choice]));
    }
    if (choice == kFactoryConfig) {
        view->resetApconfig();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        fuzz::require(contents(sandbox->programPath(QStringLiteral("modules/setting/apConfig.bin"))) ==
                          shipped.value(QStringLiteral("modules/setting/apConfigD.bin")),
                      "a reset brings the factory configuration back");
    }
    sandbox->check();
    return 0;
}
