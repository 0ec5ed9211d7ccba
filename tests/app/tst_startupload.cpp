// What the real gearpanel brings into memory and writes at start, under the
// X server on the emulated keyboard with a fresh home folder: no OpenGL
// driver unless the user asks for Qt Quick's OpenGL renderer, no sound back
// end before a sound is played, and no QML compiled at run time (the
// documents come compiled in, so nothing lands in the user's cache).
#include "startupfiles.h"

#include <QDirIterator>
#include <QProcess>
#include <QtTest>

namespace {

// Libraries that only an OpenGL driver brings in: the vendor half of the
// GLX dispatcher (Mesa's libGLX_mesa, or another vendor's) and DRI drivers.
bool mapsOpenGlDriver(const QByteArray &maps)
{
    return maps.contains("/libGLX_") || maps.contains("_dri.so");
}

bool mapsSoundBackEnd(const QByteArray &maps)
{
    return maps.contains("phonon4qt5_backend") || maps.contains("libgstreamer-1.0");
}

QStringList compiledQmlIn(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, {QStringLiteral("*.qmlc"), QStringLiteral("*.jsc")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

} // namespace

class tst_StartupLoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void loadsOnlyWhatItDraws_data();
    void loadsOnlyWhatItDraws();

private:
    QTemporaryDir runtimeDir;
};

void tst_StartupLoad::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (the suite runs under xvfb-run)");
    QFile::setPermissions(runtimeDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void tst_StartupLoad::loadsOnlyWhatItDraws_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<bool>("openGl");

    QTest::newRow("renderer left to the program") << QString() << false;
    QTest::newRow("software renderer asked for") << QStringLiteral("software") << false;
    QTest::newRow("OpenGL renderer asked for") << QStringLiteral("opengl") << true;
}

void tst_StartupLoad::loadsOnlyWhatItDraws()
{
    QFETCH(QString, backend);
    QFETCH(bool, openGl);
    ProgramFolder folder;
    QVERIFY(writeStartupFiles(folder, QStringLiteral("gearpanel load %1").arg(QCoreApplication::applicationPid())));
    QVERIFY(QFile::copy(QStringLiteral(GEARPANEL_PROGRAM), folder.path(QStringLiteral("gearpanel"))));
    QTemporaryDir home;

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(Q3EMU_LIBRARY));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.path() + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("gearpanel.qml.debug=true"));
    env.remove(QStringLiteral("QT_XCB_GL_INTEGRATION"));
    env.remove(QStringLiteral("QMLSCENE_DEVICE"));
    if (backend.isEmpty())
        env.remove(QStringLiteral("QT_QUICK_BACKEND"));
    else
        env.insert(QStringLiteral("QT_QUICK_BACKEND"), backend);
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(folder.path(QStringLiteral("gearpanel")), QStringList());
    QVERIFY(program.waitForStarted(10000));

    QByteArray output;
    const auto seen = [&](const char *text) {
        output += program.readAll();
        return output.contains(text);
    };
    // "run" follows initUI once the start-up is done; the window has been
    // shown and drawn by then.
    QTRY_VERIFY_WITH_TIMEOUT(seen("gearpanel.qml: run") || program.state() != QProcess::Running, 30000);
    QVERIFY2(program.state() == QProcess::Running, output.constData());
    QTest::qWait(1000);

    QFile mapsFile(QStringLiteral("/proc/%1/maps").arg(program.processId()));
    QVERIFY(mapsFile.open(QIODevice::ReadOnly));
    const QByteArray maps = mapsFile.readAll();
    program.terminate();
    QVERIFY(program.waitForFinished(10000));
    output += program.readAll();

    QCOMPARE(mapsOpenGlDriver(maps), openGl);
    QVERIFY(!mapsSoundBackEnd(maps));
    // Asking for OpenGL by that name is understood, not reported as an
    // unknown back end.
    QVERIFY2(!output.contains("Could not create scene graph context"), output.constData());
    const QStringList compiled = compiledQmlIn(home.path());
    QVERIFY2(compiled.isEmpty(), qPrintable(compiled.join(QLatin1Char(' '))));
}

QTEST_GUILESS_MAIN(tst_StartupLoad)
#include "tst_startupload.moc"
