#include "fuzzsandbox.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

namespace {

// Not watched: the folders the libraries keep their caches and sockets in.
const char *const kCache = "cache";
const char *const kRuntime = "runtime";
const char *const kScratch = "scratch";
const char *const kProgram = "program";

void setEnv(const char *name, const QString &value)
{
    qputenv(name, QFile::encodeName(value));
}

void copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo &info : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + info.fileName();
        if (info.isDir())
            copyTree(info.filePath(), target);
        else
            QFile::copy(info.filePath(), target);
    }
}

void discardMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "fatal: %s\n", qPrintable(message));
        std::abort();
    }
}

} // namespace

Sandbox *Sandbox::create()
{
    static Sandbox *sandbox = nullptr;
    require(!sandbox, "one sandbox per process");
    sandbox = new Sandbox;
    std::atexit([] {
        sandbox->check();
        delete sandbox;
    });
    return sandbox;
}

Sandbox::Sandbox()
{
    // Memory-backed where there is such a folder: the program syncs what it
    // saves to disk, which would otherwise take most of every run.
    const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                           : QDir::tempPath();
    QByteArray pattern = QFile::encodeName(base) + "/gearpanel-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()))
        require(false, "cannot make the sandbox");
    m_root = QFile::decodeName(pattern);
    QDir root(m_root);
    for (const char *sub : {kProgram, kCache, kRuntime, kScratch, "home/Desktop", "home/Pictures", "home/.config",
                            "home/.local/share"})
        root.mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root.filePath(QString::fromLatin1(kRuntime)),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const char *sub : {"modules/setting", "modules/i18n", "modules/media"})
        root.mkpath(QString::fromLatin1(kProgram) + QLatin1Char('/') + QString::fromLatin1(sub));

    setEnv("HOME", root.filePath(QStringLiteral("home")));
    setEnv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("home/.config")));
    setEnv("XDG_DATA_HOME", root.filePath(QStringLiteral("home/.local/share")));
    setEnv("XDG_CACHE_HOME", root.filePath(QString::fromLatin1(kCache)));
    setEnv("XDG_RUNTIME_DIR", root.filePath(QString::fromLatin1(kRuntime)));
    setEnv("XDG_DESKTOP_DIR", root.filePath(QStringLiteral("home/Desktop")));
    setEnv("XDG_PICTURES_DIR", root.filePath(QStringLiteral("home/Pictures")));
    QDir::setCurrent(programFolder());
}

Sandbox::~Sandbox()
{
    QDir::setCurrent(QDir::tempPath());
    QDir(m_root).removeRecursively();
}

QString Sandbox::programFolder() const
{
    return m_root + QLatin1Char('/') + QString::fromLatin1(kProgram);
}

QString Sandbox::programPath(const QString &relative) const
{
    return QDir(programFolder()).absoluteFilePath(relative);
}

QString Sandbox::userFile(const QString &name) const
{
    return m_root + QStringLiteral("/home/Desktop/") + name;
}

QString Sandbox::scratchPath(const QString &name) const
{
    return m_root + QLatin1Char('/') + QString::fromLatin1(kScratch) + QLatin1Char('/') + name;
}

void Sandbox::installShippedModules() const
{
    const QString source = QStringLiteral(GEARPANEL_SOURCE_DIR "/modules/");
    copyTree(source + QStringLiteral("setting"), programPath(QStringLiteral("modules/setting")));
    copyTree(source + QStringLiteral("i18n"), programPath(QStringLiteral("modules/i18n")));
}

void Sandbox::writeFresh(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        require(false, "cannot write a file of the target's own");
    // Seconds apart, counting up from a fixed day: always a new time stamp.
    file.setFileTime(QDateTime::fromSecsSinceEpoch(1600000000 + ++m_stamp), QFileDevice::FileModificationTime);
}

void Sandbox::expectUserFile(const QString &name)
{
    m_expected.insert(userFile(name));
}

void Sandbox::snapshot()
{
    m_snapshot = scan();
}

QMap<QString, Sandbox::Entry> Sandbox::scan() const
{
    QMap<QString, Entry> entries;
    // Walked by hand so that the unwatched folders are not descended into.
    QStringList pending{m_root};
    while (!pending.isEmpty()) {
        const QString dir = pending.takeLast();
        const QFileInfoList list =
            QDir(dir).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo &info : list) {
            const QString path = info.filePath();
            if (dir == m_root && (info.fileName() == QLatin1String(kProgram) ||
                                  info.fileName() == QLatin1String(kCache) ||
                                  info.fileName() == QLatin1String(kRuntime) ||
                                  info.fileName() == QLatin1String(kScratch)))
                continue;
            if (m_expected.contains(path))
                continue;
            const bool isDir = info.isDir() && !info.isSymLink();
            // A folder's own time changes with its entries, which are listed.
            entries.insert(path, {isDir, isDir ? 0 : info.size(),
                                  isDir ? 0 : info.lastModified().toMSecsSinceEpoch()});
            if (isDir)
                pending.append(path);
        }
    }
    return entries;
}

void Sandbox::check() const
{
    const QMap<QString, Entry> now = scan();
    if (now == m_snapshot)
        return;
    for (auto it = now.begin(); it != now.end(); ++it)
        if (!m_snapshot.contains(it.key()) || !(m_snapshot.value(it.key()) == it.value()))
            std::fprintf(stderr, "written outside the program folder: %s\n", qPrintable(it.key()));
    for (auto it = m_snapshot.begin(); it != m_snapshot.end(); ++it)
        if (!now.contains(it.key()))
            std::fprintf(stderr, "removed outside the program folder: %s\n", qPrintable(it.key()));
    std::abort();
}

void startApplication()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    qputenv("PHONON_GST_AUDIOSINK", "fake");
    qInstallMessageHandler(discardMessages);
    static int argc = 1;
    static char name[] = "gearpanel-fuzz";
    static char *argv[] = {name, nullptr};
    // Never destroyed: libFuzzer leaves through exit(), and Qt's teardown at
    // that point would only add noise.
    new QApplication(argc, argv);
}

void require(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

} // namespace fuzz
