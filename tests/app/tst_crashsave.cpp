// Saving survives a kill. A driver (savedriver.cpp) saves profiles, the
// configuration and macros through the real view on the emulated keyboard
// and is killed with SIGKILL at random moments, hundreds of times. After
// every kill each file must hold, whole, either what it held before the
// interrupted operation or what that operation writes; finally the real
// program starts on what is left and closes normally.
#include "myquickview.h"
#include "saveversions.h"
#include "startupfiles.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

#include <signal.h>

namespace {

constexpr int kTargetKills = 200;
// The kills stop at this time or at kTargetKills, but not before kMinKills.
constexpr qint64 kKillBudgetMs = 35000;
constexpr int kMinKills = 20;
// A kill lands this long (microseconds) after the driver is ready; its
// operations take a few milliseconds each.
constexpr int kMaxKillDelayUs = 60000;

const QString kApConfig = QStringLiteral("modules/setting/apConfig.bin");
const QString kFactory = QStringLiteral("modules/setting/apConfigD.bin");
const QString kDefaultProfile = QStringLiteral("modules/setting/pD.bin");
const QString kDefaultProfileText = QStringLiteral("[color]\ncolor=255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0, "
                                                   "0, 255, 255, 255, 0, 255, 255, 255, 255\n"
                                                   "[sensor]\nreportRate_Q4=2\n");
const QString kFresh = QStringLiteral("fresh");

// The files of the program folder and the user's folder by path relative to
// their root ("user/..." for the user's), each with its version: for a
// profile "m<matrix round> l<lighting round>", for the configuration and a
// macro the round, "fresh" for a new macro, or "damaged: ..." saying why.
using Versions = QMap<QString, QString>;

QString profilePath(int slot)
{
    return QStringLiteral("modules/setting/p%1.bin").arg(slot + 1);
}

QString exportPath(int slot)
{
    return QStringLiteral("user/exports/p%1.pf").arg(slot + 1);
}

QString macroPath(int slot, const QString &name)
{
    return QStringLiteral("modules/macro%1/%2.bin").arg(slot).arg(name);
}

// Values as text the way they read back from a settings file: lists joined
// by ", ".
QString asText(const QVariant &value)
{
    if (value.userType() == QMetaType::QStringList || value.userType() == QMetaType::QVariantList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

class Checker
{
public:
    Checker(const QString &programRoot, const QString &userRoot) : program(programRoot), user(userRoot) {}

    // Every key of the file with its value as text; empty with `why` set
    // when the file is empty, cut off in a line, or not an INI file.
    QMap<QString, QString> readIni(const QString &path, QString &why)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            why = QStringLiteral("unreadable");
            return {};
        }
        const QByteArray bytes = file.readAll();
        if (bytes.isEmpty() || !bytes.endsWith('\n')) {
            why = bytes.isEmpty() ? QStringLiteral("empty") : QStringLiteral("cut off in a line");
            return {};
        }
        // A path of its own each time: the settings class caches by path
        // and trusts size and time stamps.
        const QString copy = scratch.filePath(QString::number(++copies));
        QFile out(copy);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
            why = QStringLiteral("copy failed");
            return {};
        }
        out.close();
        QMap<QString, QString> keys;
        {
            QSettings ini(copy, QSettings::IniFormat);
            if (ini.status() != QSettings::NoError) {
                why = QStringLiteral("not INI");
                return {};
            }
            for (const QString &key : ini.allKeys())
                keys.insert(key, asText(ini.value(key)));
        }
        QFile::remove(copy);
        return keys;
    }

    // The version of a file whose keys must be exactly `expected`.
    static QString compare(const QMap<QString, QString> &found, const QMap<QString, QString> &expected,
                           const QString &version)
    {
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            if (found.value(it.key()) != it.value())
                return QStringLiteral("damaged: %1 is \"%2\", round %3 writes \"%4\"")
                    .arg(it.key(), found.value(it.key(), "(missing)"), version, it.value());
        for (auto it = found.cbegin(); it != found.cend(); ++it)
            if (!expected.contains(it.key()))
                return QStringLiteral("damaged: stray key %1").arg(it.key());
        return version;
    }

    QString profileVersion(const QString &path)
    {
        QString why;
        const QMap<QString, QString> keys = readIni(path, why);
        if (keys.isEmpty())
            return QStringLiteral("damaged: ") + (why.isEmpty() ? QStringLiteral("no keys") : why);
        const QString group = QStringLiteral("keydefine%1/").arg(saveversions::kLayout);
        const QStringList key0 = keys.value(group + "0").split(QStringLiteral(", "));
        const QStringList key1 = keys.value(group + "1").split(QStringLiteral(", "));
        const QStringList led = keys.value(QStringLiteral("color/ledType")).split(QStringLiteral(", "));
        if (key0.size() != 2 || key1.size() != 2 || led.size() != 6)
            return QStringLiteral("damaged: no round in the matrix or lighting");
        const int m = key0.at(0).toInt() | key0.at(1).toInt() << 8 | key1.at(0).toInt() << 16;
        const int l = led.at(0).toInt() | led.at(1).toInt() << 8 | led.at(2).toInt() << 16;
        return compare(keys, expectedProfile(m, l), QStringLiteral("m%1 l%2").arg(m).arg(l));
    }

    QMap<QString, QString> expectedProfile(int m, int l) const
    {
        QMap<QString, QString> keys = defaultProfileKeys;
        const QVariantList values = saveversions::matrix(m);
        for (int i = 0; i < saveversions::kKeys; ++i)
            keys.insert(QStringLiteral("keydefine%1/%2").arg(saveversions::kLayout).arg(i),
                        asText(QVariantList{values.at(2 * i), values.at(2 * i + 1)}));
        keys.insert(QStringLiteral("color/ledType"), asText(saveversions::ledType(l)));
        return keys;
    }

    QString apConfigVersion(const QString &path)
    {
        QString why;
        const QMap<QString, QString> keys = readIni(path, why);
        if (keys.isEmpty())
            return QStringLiteral("damaged: ") + (why.isEmpty() ? QStringLiteral("no keys") : why);
        const int seq = saveversions::apConfigRound(keys.value(QStringLiteral("common/31")));
        if (seq < 0)
            return QStringLiteral("damaged: no round in the link entry");
        return compare(keys, expectedApConfig(seq), QString::number(seq));
    }

    QMap<QString, QString> expectedApConfig(int seq) const
    {
        QMap<QString, QString> keys{{QStringLiteral("common/name"), title},
                                    {QStringLiteral("common/product_name"), QStringLiteral("Q3 Keyboard, Q4 Mouse")}};
        const QVariantList list = saveversions::apConfig(seq);
        keys.insert(QStringLiteral("common/total"), QString::number(list.size()));
        for (int i = 0; i < list.size(); ++i)
            keys.insert(QStringLiteral("common/%1").arg(i), asText(list.at(i)));
        return keys;
    }

    QString macroVersion(const QString &path)
    {
        QString why;
        const QMap<QString, QString> keys = readIni(path, why);
        if (keys.isEmpty())
            return QStringLiteral("damaged: ") + (why.isEmpty() ? QStringLiteral("no keys") : why);
        QMap<QString, QString> expected{{QStringLiteral("config/index"), QStringLiteral("-1")},
                                        {QStringLiteral("config/repeat"), QStringLiteral("1")},
                                        {QStringLiteral("config/did"), QStringLiteral("-1")}};
        if (keys.value(QStringLiteral("config/total")) == QLatin1String("0")) {
            expected.insert(QStringLiteral("config/total"), QStringLiteral("0"));
            return compare(keys, expected, kFresh);
        }
        const int seq = saveversions::macroRound(keys.value(QStringLiteral("macro/0")));
        if (seq < 0)
            return QStringLiteral("damaged: no round in the first line");
        const QStringList lines = saveversions::macroLines(seq);
        expected.insert(QStringLiteral("config/total"), QString::number(lines.size()));
        for (int i = 0; i < lines.size(); ++i)
            expected.insert(QStringLiteral("macro/%1").arg(i), lines.at(i));
        return compare(keys, expected, QString::number(seq));
    }

    // What the folders hold now: the configuration, the four profiles, every
    // "*.bin" of the macro folders (the macro page lists all of them) and
    // every export. Other files are counted in `strays` by their kind.
    Versions scan()
    {
        Versions found;
        const QString config = program.filePath(kApConfig);
        if (QFileInfo::exists(config))
            found.insert(kApConfig, apConfigVersion(config));
        for (int slot = 0; slot < 4; ++slot) {
            const QString file = program.filePath(profilePath(slot));
            if (QFileInfo::exists(file))
                found.insert(profilePath(slot), profileVersion(file));
            const QDir macros(program.filePath(QStringLiteral("modules/macro%1").arg(slot)));
            for (const QString &name : macros.entryList({QStringLiteral("*.bin")}, QDir::Files))
                found.insert(macroPath(slot, name.chopped(4)), macroVersion(macros.filePath(name)));
        }
        const QDir exports(user.filePath(QStringLiteral("exports")));
        for (const QString &name : exports.entryList({QStringLiteral("*.pf")}, QDir::Files))
            found.insert(QStringLiteral("user/exports/") + name, profileVersion(exports.filePath(name)));

        const QRegularExpression random(QStringLiteral("\\.(?!rmlock$)[A-Za-z0-9]{6}$"));
        const QRegularExpression digits(QStringLiteral("[0-9]+"));
        QDirIterator it(program.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString relative = program.relativeFilePath(it.next());
            if (!found.contains(relative) && !inputs.contains(relative))
                strays.insert(QString(relative).replace(random, QStringLiteral(".XXXXXX")).replace(digits, "#"));
        }
        return found;
    }

    QDir program, user;
    QString title;
    QMap<QString, QString> defaultProfileKeys;
    // Files the test wrote that nothing saves to.
    QStringList inputs;
    QSet<QString> strays;

private:
    QTemporaryDir scratchDir;
    QDir scratch{scratchDir.path()};
    int copies = 0;
};

// One line of the driver's journal: an operation and, once it returned, its end.
struct Operation {
    int seq = 0;
    QString kind;
    int slot = 0;
    QStringList names;
    bool ended = false;
    QString result;
};

// `before` with `op` done. A new macro's name is only known from its end
// line; `created` names it for an operation that did not end.
Versions apply(Versions before, const Operation &op, const QString &created = QString())
{
    const QString seq = QString::number(op.seq);
    const QString profile = profilePath(op.slot);
    auto profilePart = [&](int part) {
        const QStringList parts = before.value(profile).split(QLatin1Char(' '));
        return parts.value(part);
    };
    if (op.kind == QLatin1String("matrix"))
        before.insert(profile, QStringLiteral("m%1 %2").arg(seq, profilePart(1)));
    else if (op.kind == QLatin1String("led"))
        before.insert(profile, QStringLiteral("%1 l%2").arg(profilePart(0), seq));
    else if (op.kind == QLatin1String("import"))
        before.insert(profile, QStringLiteral("m%1 l%1").arg(seq));
    else if (op.kind == QLatin1String("export") && before.contains(profile))
        before.insert(exportPath(op.slot), before.value(profile));
    else if (op.kind == QLatin1String("apsave"))
        before.insert(kApConfig, seq);
    else if (op.kind == QLatin1String("apreset"))
        before.insert(kApConfig, QStringLiteral("0"));
    else if (op.kind == QLatin1String("mcreate")) {
        const QString name = op.ended ? op.result : created;
        if (!name.isEmpty())
            before.insert(macroPath(op.slot, name), kFresh);
    } else if (op.kind == QLatin1String("msave") || op.kind == QLatin1String("mimport")) {
        before.insert(macroPath(op.slot, op.names.value(0)), seq);
    } else if (op.kind == QLatin1String("mrename")) {
        const QString from = macroPath(op.slot, op.names.value(0));
        const QString to = macroPath(op.slot, op.names.value(1));
        // A rename never replaces a macro.
        if (before.contains(from) && !before.contains(to))
            before.insert(to, before.take(from));
    }
    return before;
}

QString describe(const Versions &versions)
{
    QStringList lines;
    for (auto it = versions.cbegin(); it != versions.cend(); ++it)
        lines << QStringLiteral("  %1: %2").arg(it.key(), it.value());
    return lines.join(QLatin1Char('\n'));
}

// Runs xdotool and returns its standard output, trimmed.
QString xdotool(const QStringList &args)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), args);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

} // namespace

class tst_CrashSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void savesSurviveKills();
    void emptyLocksOfAKilledSaveAreCleared();

private:
    // The environment of the programs this test starts. The real program
    // gets the emulated keyboard preloaded (behind the sanitizer's runtime
    // where the build has one); the driver links it.
    QProcessEnvironment environment(bool preloadEmulator) const;
    // Reads the driver's journal on from where the last call stopped.
    QList<Operation> readJournal();
    // Writes the files of a scratch program folder at round 0.
    void prepare(const ProgramFolder &folder, const QString &title, Checker &checker);
    // Starts the real program on `folder` and closes it from its window.
    void startProgram(const ProgramFolder &folder, const QString &title);

    QTemporaryDir runtimeDir;
    QString journalPath;
    qint64 journalRead = 0;
};

void tst_CrashSave::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (the suite runs under xvfb-run)");
    QFile::setPermissions(runtimeDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QProcessEnvironment tst_CrashSave::environment(bool preloadEmulator) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (preloadEmulator)
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(Q3EMU_LIBRARY));
    else
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());
    env.insert(QStringLiteral("PHONON_GST_AUDIOSINK"), QStringLiteral("fake"));
    // The real program's debug lines tell when QML has started; the
    // driver's would only fill a pipe nobody reads while it runs.
    env.insert(QStringLiteral("QT_LOGGING_RULES"),
               preloadEmulator ? QStringLiteral("gearpanel.*.debug=true") : QStringLiteral("gearpanel.*.debug=false"));
    return env;
}

QList<Operation> tst_CrashSave::readJournal()
{
    QList<Operation> ops;
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(journalRead))
        return ops;
    const QByteArray text = file.readAll();
    // A line is whole once its newline is there.
    const int whole = text.lastIndexOf('\n') + 1;
    journalRead += whole;
    for (const QByteArray &raw : text.left(whole).split('\n')) {
        const QStringList fields = QString::fromUtf8(raw).split(QLatin1Char('\t'));
        if (fields.value(0) == QLatin1String(saveversions::kBegin) && fields.size() >= 4) {
            Operation op;
            op.seq = fields.at(1).toInt();
            op.kind = fields.at(2);
            op.slot = fields.at(3).toInt();
            op.names = fields.mid(4);
            ops.append(op);
        } else if (fields.value(0) == QLatin1String(saveversions::kEnd) && !ops.isEmpty() &&
                   ops.last().seq == fields.value(1).toInt()) {
            ops.last().ended = true;
            ops.last().result = fields.value(2);
        }
    }
    return ops;
}

void tst_CrashSave::prepare(const ProgramFolder &folder, const QString &title, Checker &checker)
{
    QVERIFY(writeStartupFiles(folder, title));
    QVERIFY(folder.write(kDefaultProfile, kDefaultProfileText.toUtf8()));
    QString why;
    checker.defaultProfileKeys = checker.readIni(folder.path(kDefaultProfile), why);
    QVERIFY2(!checker.defaultProfileKeys.isEmpty(), qPrintable(why));
    checker.title = title;

    // Configuration and profiles as their round 0 writes them; the factory
    // copy is round 0 too.
    auto writeIni = [&](const QString &relative, const QMap<QString, QString> &keys) {
        QByteArray text;
        QString group;
        for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
            const QString g = it.key().section(QLatin1Char('/'), 0, 0);
            if (g != group)
                text += (group.isEmpty() ? "[" : "\n[") + g.toUtf8() + "]\n";
            group = g;
            text += it.key().section(QLatin1Char('/'), 1).toUtf8() + '=' + it.value().toUtf8() + '\n';
        }
        return folder.write(relative, text);
    };
    QVERIFY(writeIni(kApConfig, checker.expectedApConfig(0)));
    QVERIFY(writeIni(kFactory, checker.expectedApConfig(0)));
    for (int slot = 0; slot < 4; ++slot)
        QVERIFY(writeIni(profilePath(slot), checker.expectedProfile(0, 0)));
    QVERIFY(QFile::copy(QStringLiteral(GEARPANEL_PROGRAM), folder.path(QStringLiteral("gearpanel"))));
    checker.inputs = QStringList{kFactory, kDefaultProfile, QStringLiteral("gearpanel"),
                                 QStringLiteral("modules/setting/HWDef.bin"),
                                 QStringLiteral("modules/setting/KeyCodeDef.bin")};
}

void tst_CrashSave::savesSurviveKills()
{
    const QString title = QStringLiteral("gearpanel crash %1").arg(QCoreApplication::applicationPid());
    ProgramFolder folder;
    QTemporaryDir user;
    Checker checker(folder.root(), user.path());
    prepare(folder, title, checker);
    if (QTest::currentTestFailed())
        return;
    journalPath = user.filePath(QStringLiteral("journal.txt"));

    Versions model = checker.scan();
    QCOMPARE(model.value(kApConfig), QStringLiteral("0"));
    QCOMPARE(model.value(profilePath(3)), QStringLiteral("m0 l0"));

    QRandomGenerator random(QRandomGenerator::global()->generate());
    int nextSeq = 1;
    int kills = 0;
    // Kills that interrupted an operation, by whether its file was left old or new.
    QMap<QString, int> leftOld, leftNew;
    QElapsedTimer elapsed;
    elapsed.start();
    while (kills < kTargetKills && (kills < kMinKills || elapsed.elapsed() < kKillBudgetMs)) {
        QProcess driver;
        driver.setProcessEnvironment(environment(false));
        driver.setWorkingDirectory(folder.root());
        driver.start(QStringLiteral(SAVEDRIVER_PROGRAM),
                     {journalPath, QString::number(nextSeq), user.path()});
        QVERIFY2(driver.waitForStarted(10000), qPrintable(driver.errorString()));
        QElapsedTimer starting;
        starting.start();
        while (!driver.canReadLine() && driver.state() == QProcess::Running && starting.elapsed() < 30000)
            driver.waitForReadyRead(1000);
        QVERIFY2(driver.readLine().startsWith("ready"), driver.readAllStandardError().constData());

        QThread::usleep(random.bounded(kMaxKillDelayUs));
        const bool wasRunning = driver.state() == QProcess::Running;
        ::kill(pid_t(driver.processId()), SIGKILL);
        QVERIFY(driver.waitForFinished(10000));
        QVERIFY2(wasRunning, driver.readAllStandardError().constData());
        ++kills;

        // Every operation that ended is in the files; the one the kill
        // interrupted is there whole or not at all.
        const QList<Operation> ops = readJournal();
        const Operation *interrupted = nullptr;
        for (const Operation &op : ops) {
            if (op.ended)
                model = apply(model, op);
            else
                interrupted = &op;
            nextSeq = op.seq + 1;
        }
        const Versions found = checker.scan();
        if (found == model) {
            if (interrupted)
                ++leftOld[interrupted->kind];
            model = found;
            continue;
        }
        QString created;
        if (interrupted && interrupted->kind == QLatin1String("mcreate")) {
            for (auto it = found.cbegin(); it != found.cend(); ++it)
                if (!model.contains(it.key()) &&
                    it.key().startsWith(QStringLiteral("modules/macro%1/").arg(interrupted->slot)))
                    created = it.key().section(QLatin1Char('/'), 2).chopped(4);
        }
        const Versions done = interrupted ? apply(model, *interrupted, created) : model;
        QVERIFY2(found == done,
                 qPrintable(QStringLiteral("kill %1 during %2 of round %3 left\n%4\nexpected before it\n%5\nor after it\n%6")
                                .arg(kills)
                                .arg(interrupted ? interrupted->kind : QStringLiteral("nothing"))
                                .arg(interrupted ? interrupted->seq : 0)
                                .arg(describe(found), describe(model), describe(done))));
        ++leftNew[interrupted->kind];
        model = found;
    }

    qInfo("%d kills in %lld ms, %d rounds", kills, elapsed.elapsed(), nextSeq - 1);
    QStringList kinds = leftOld.keys() + leftNew.keys();
    kinds.removeDuplicates();
    for (const QString &kind : kinds)
        qInfo("interrupted %s: left old %d, new %d", qPrintable(kind), leftOld.value(kind), leftNew.value(kind));
    QStringList strays = checker.strays.values();
    strays.sort();
    qInfo("other files seen after kills: %s", qPrintable(strays.join(QStringLiteral(", "))));

    startProgram(folder, title);
    // Starting and closing the program writes nothing of its own.
    QCOMPARE(describe(checker.scan()), describe(model));
}

void tst_CrashSave::startProgram(const ProgramFolder &folder, const QString &title)
{
    QProcess program;
    program.setProcessEnvironment(environment(true));
    program.setWorkingDirectory(QDir::rootPath());
    program.start(folder.path(QStringLiteral("gearpanel")), QStringList());
    QVERIFY2(program.waitForStarted(10000), qPrintable(program.errorString()));

    // The window, titled from the configuration the kills left, and QML's
    // first call.
    QByteArray output;
    QString window;
    QElapsedTimer elapsed;
    elapsed.start();
    while ((window.isEmpty() || !output.contains("initUI")) && elapsed.elapsed() < 30000 &&
           program.state() == QProcess::Running) {
        program.waitForReadyRead(100);
        output += program.readAllStandardError();
        if (window.isEmpty())
            window = xdotool({"search", "--onlyvisible", "--name",
                              QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$')})
                         .section(QLatin1Char('\n'), 0, 0);
    }
    QVERIFY2(!window.isEmpty() && output.contains("initUI"), output.constData());
    // Let the queued start-up calls and the busy lock pass.
    QTest::qWait(1500);
    QCOMPARE(program.state(), QProcess::Running);

    // The top menu's close button sits at x 949, centred 15 pixels down.
    xdotool({"mousemove", "--window", window, "964", "15"});
    xdotool({"click", "1"});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

void tst_CrashSave::emptyLocksOfAKilledSaveAreCleared()
{
    // What a kill between creating a lock and writing its owner leaves, as
    // the locks of a profile, the configuration's lock being cleared, and a
    // macro; beside them locks with an owner and other empty files.
    ProgramFolder folder;
    QVERIFY(writeStartupFiles(folder, QStringLiteral("locks")));
    const QStringList empty{"modules/setting/p1.bin.lock", "modules/setting/apConfig.bin.lock.rmlock",
                            "modules/macro2/Macro. 001.bin.lock"};
    const QStringList kept{"modules/setting/p2.bin.lock", "modules/setting/notes.txt", "modules/macro2/x.lock.bak"};
    for (const QString &file : empty)
        QVERIFY(folder.write(file, QByteArray()));
    QVERIFY(folder.write(kept.at(0), "12345\nsomeone\nelsewhere\n"));
    QVERIFY(folder.write(kept.at(1), QByteArray()));
    QVERIFY(folder.write(kept.at(2), QByteArray()));
    QVERIFY(folder.write("modules/macro2/Macro. 001.bin", "[config]\nindex=-1\ntotal=0\nrepeat=1\ndid=-1\n"));

    {
        myQQuickView view;
        for (const QString &file : empty)
            QVERIFY2(!folder.exists(file), qPrintable(file));
        for (const QString &file : kept)
            QVERIFY2(folder.exists(file), qPrintable(file));

        // The saves that would have waited on those locks go through.
        view.ui_08H_SetLEDType(1, 2, 3, 0, 4, 1);
        view.saveApConfig({7});
        view.ui_21H_SetCurrentProfile(2);
        QVERIFY(view.saveMacroIni(QStringLiteral("Macro. 001"), saveversions::macroLines(9)).toBool());
    }
    QCOMPARE(QSettings(folder.path("modules/setting/p1.bin"), QSettings::IniFormat)
                 .value("color/ledType")
                 .toStringList(),
             (QStringList{"1", "2", "3", "0", "4", "1"}));
    QCOMPARE(QSettings(folder.path(kApConfig), QSettings::IniFormat).value("common/0").toInt(), 7);
    QCOMPARE(QSettings(folder.path("modules/macro2/Macro. 001.bin"), QSettings::IniFormat).value("macro/0").toString(),
             saveversions::macroLines(9).first());
}

QTEST_MAIN(tst_CrashSave)
#include "tst_crashsave.moc"
