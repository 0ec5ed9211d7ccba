// The build tree's program folder holds what an installed one holds: the
// shipped definitions and languages, the macro folders, and the font with
// its licence beside the program, a font that draws every letter of the
// shipped languages.
#include "definitions.h"

#include <QtTest>

#include <QDir>
#include <QFontDatabase>
#include <QRawFont>

namespace {

const QString kBinDir = QStringLiteral(GEARPANEL_BIN_DIR);
const QString kModulesSource = QStringLiteral(GEARPANEL_SOURCE_DIR "/modules");

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void shippedFilesAreStaged_data();
    void shippedFilesAreStaged();
    void macroFoldersExist();
    void fontRegistersAsExo();
    void fontDrawsTheLanguages_data();
    void fontDrawsTheLanguages();
};

void TestProgramFolder::shippedFilesAreStaged_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("sameContent");
    for (const QString &folder : {QStringLiteral("setting"), QStringLiteral("i18n")}) {
        const QStringList files = QDir(kModulesSource + QLatin1Char('/') + folder).entryList(QDir::Files);
        for (const QString &name : files) {
            if (name == QLatin1String("README.md"))
                continue;
            // The program rewrites its configuration in place; a developer's
            // saved settings in the build tree are not a fault.
            const bool rewritten = name == QLatin1String("apConfig.bin");
            const QString relative = folder + QLatin1Char('/') + name;
            QTest::newRow(qPrintable(relative)) << relative << !rewritten;
        }
    }
}

void TestProgramFolder::shippedFilesAreStaged()
{
    QFETCH(QString, relative);
    QFETCH(bool, sameContent);
    const QString staged = kBinDir + QStringLiteral("/modules/") + relative;
    QVERIFY2(QFileInfo::exists(staged), qPrintable(staged));
    if (sameContent)
        QCOMPARE(contents(staged), contents(kModulesSource + QLatin1Char('/') + relative));
}

void TestProgramFolder::macroFoldersExist()
{
    for (int slot = 0; slot < 4; ++slot)
        QVERIFY(QFileInfo(kBinDir + QStringLiteral("/modules/macro%1").arg(slot)).isDir());
}

void TestProgramFolder::fontRegistersAsExo()
{
    // The pages ask for the family "Exo" by name.
    const int id = QFontDatabase::addApplicationFont(kBinDir + QStringLiteral("/Exo-Medium.ttf"));
    QVERIFY(id >= 0);
    QVERIFY2(QFontDatabase::applicationFontFamilies(id).contains(QStringLiteral("Exo")),
             qPrintable(QFontDatabase::applicationFontFamilies(id).join(QLatin1Char(','))));
    QVERIFY(contents(kBinDir + QStringLiteral("/Exo-OFL.txt")).contains("SIL Open Font License"));
}

void TestProgramFolder::fontDrawsTheLanguages_data()
{
    QTest::addColumn<QString>("file");
    const QStringList files = QDir(kBinDir + QStringLiteral("/modules/i18n"))
                                  .entryList({QStringLiteral("lang_*.ini")}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString &name : files)
        QTest::newRow(qPrintable(name)) << name;
}

void TestProgramFolder::fontDrawsTheLanguages()
{
    QFETCH(QString, file);
    const QRawFont font(kBinDir + QStringLiteral("/Exo-Medium.ttf"), 12);
    QVERIFY(font.isValid());
    const definitions::LanguageStrings language =
        definitions::loadLanguage(kBinDir + QStringLiteral("/modules/i18n/") + file);
    QVERIFY(language.ui.size() > 100);
    // Letters, digits and punctuation come from the font; pictographs such
    // as arrows may fall back to the system's fonts.
    QString missing;
    for (const QString &text : language.ui + language.messages) {
        for (const QChar c : text) {
            if ((c.isLetterOrNumber() || c.isPunct()) && !font.supportsCharacter(c) && !missing.contains(c))
                missing.append(c);
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing));
}

QTEST_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
