// Saves profiles, the configuration and macros through the real view on the
// emulated keyboard, round after round, until it is killed. Started by
// tst_crashsave in a scratch program folder (the working folder):
//
//   savedriver <journal> <first round> <user folder>
//
// Before each operation it appends a begin line to the journal and after it
// an end line (see saveversions.h), so the test knows which operation a kill
// interrupted. Exports go to <user folder>/exports, and import sources are
// written to <user folder>/imports first.
#include "linkfixture.h"
#include "myquickview.h"
#include "saveversions.h"
#include "userdialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSettings>

#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// Rounds are bounded in time as well, in case the test died without
// killing the driver.
constexpr int kMaxRunMs = 30000;
constexpr int kMaxMacrosPerFolder = 5;

class AnsweringDialogs : public UserDialogs
{
public:
    QString open, save;
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override { return open; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return save; }
    void warning(QWidget *, const QString &, const QString &) override {}
};

class Journal
{
public:
    explicit Journal(const QString &path)
        : fd(::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644))
    {
    }
    ~Journal()
    {
        if (fd >= 0)
            ::close(fd);
    }
    bool isOpen() const { return fd >= 0; }
    // One write per line: a kill leaves a line whole or absent.
    void line(const QStringList &fields)
    {
        const QByteArray text = fields.join(QLatin1Char('\t')).toUtf8() + '\n';
        if (::write(fd, text.constData(), size_t(text.size())) != text.size())
            std::perror("journal");
    }

private:
    int fd;
};

QStringList macroNames(int slot)
{
    QStringList names;
    for (const QString &file : QDir(QStringLiteral("modules/macro%1").arg(slot))
                                   .entryList({QStringLiteral("*.bin")}, QDir::Files, QDir::Name))
        names << file.chopped(4);
    return names;
}

// A profile file as an export from round `seq` would hold it: the default
// profile's keys with the round's matrix and lighting.
void writeProfileSource(const QString &path, int seq)
{
    QFile::remove(path);
    QFile::copy(QStringLiteral("modules/setting/pD.bin"), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QSettings file(path, QSettings::IniFormat);
    const QVariantList values = saveversions::matrix(seq);
    for (int i = 0; i < saveversions::kKeys; ++i)
        file.setValue(QStringLiteral("keydefine%1/%2").arg(saveversions::kLayout).arg(i),
                      QVariantList{values.at(2 * i), values.at(2 * i + 1)});
    file.setValue(QStringLiteral("color/ledType"), saveversions::ledType(seq));
}

// A macro file as the macro page would export one saved in round `seq`.
void writeMacroSource(const QString &path, int seq)
{
    QFile::remove(path);
    QSettings file(path, QSettings::IniFormat);
    const QStringList lines = saveversions::macroLines(seq);
    file.setValue(QStringLiteral("config/index"), -1);
    file.setValue(QStringLiteral("config/total"), lines.size());
    file.setValue(QStringLiteral("config/repeat"), 1);
    file.setValue(QStringLiteral("config/did"), -1);
    for (int i = 0; i < lines.size(); ++i)
        file.setValue(QStringLiteral("macro/%1").arg(i), lines.at(i));
}

} // namespace

int main(int argc, char *argv[])
{
    // Never outlive the test that started it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: savedriver <journal> <first round> <user folder>\n");
        return 2;
    }
    Journal journal(args.at(1));
    int seq = args.at(2).toInt();
    const QDir user(args.at(3));
    user.mkpath(QStringLiteral("exports"));
    user.mkpath(QStringLiteral("imports"));
    if (!journal.isOpen() || seq <= 0)
        return 2;

    AnsweringDialogs dialogs;
    UserDialogs::install(&dialogs);
    auto link = fixture::makeLink();
    int exitCode = 0;
    {
        myQQuickView view;
        view.setHid(link.get());
        QRandomGenerator random{quint32(seq)};
        QElapsedTimer running;
        running.start();
        std::printf("ready\n");
        std::fflush(stdout);

        const int firstSeq = seq;
        int slot = 0;
        for (; running.elapsed() < kMaxRunMs; ++seq) {
            // Switching slots is a device command of its own; most rounds
            // stay on the slot before.
            if (seq == firstSeq || random.bounded(3) == 0) {
                slot = random.bounded(4);
                view.ui_21H_SetCurrentProfile(slot);
            }
            const QString round = QString::number(seq);
            const QString slotText = QString::number(slot);
            const QStringList macros = macroNames(slot);
            QString outcome;

            // Weights: the matrix and lighting, then macro saves, are what
            // the pages write most often.
            const int pick = random.bounded(16);
            if (pick < 2) {
                journal.line({saveversions::kBegin, round, "matrix", slotText});
                view.ui_0C0DH_SetKeyMatrix(saveversions::matrix(seq));
            } else if (pick < 4) {
                journal.line({saveversions::kBegin, round, "led", slotText});
                const QVariantList led = saveversions::ledType(seq);
                view.ui_08H_SetLEDType(uchar(led.at(0).toInt()), uchar(led.at(1).toInt()),
                                       uchar(led.at(2).toInt()), uchar(led.at(3).toInt()),
                                       uchar(led.at(4).toInt()), uchar(led.at(5).toInt()));
            } else if (pick < 5) {
                dialogs.open = user.absoluteFilePath(QStringLiteral("imports/p%1.pf").arg(seq));
                writeProfileSource(dialogs.open, seq);
                journal.line({saveversions::kBegin, round, "import", slotText});
                view.loadProfile(slot);
            } else if (pick < 6) {
                dialogs.save = user.absoluteFilePath(QStringLiteral("exports/p%1.pf").arg(slot + 1));
                journal.line({saveversions::kBegin, round, "export", slotText});
                view.saveProfile(slot);
            } else if (pick < 8) {
                journal.line({saveversions::kBegin, round, "apsave", slotText});
                view.saveApConfig(saveversions::apConfig(seq));
            } else if (pick < 9) {
                journal.line({saveversions::kBegin, round, "apreset", slotText});
                view.resetApconfig();
            } else if (macros.isEmpty() || (pick < 10 && macros.size() < kMaxMacrosPerFolder)) {
                journal.line({saveversions::kBegin, round, "mcreate", slotText});
                outcome = view.createMacroIni().toString();
            } else {
                const QString name = macros.at(random.bounded(macros.size()));
                if (pick < 13) {
                    journal.line({saveversions::kBegin, round, "msave", slotText, name});
                    view.saveMacroIni(name, saveversions::macroLines(seq));
                } else if (pick < 14) {
                    const QString newName = QStringLiteral("Renamed %1").arg(seq);
                    journal.line({saveversions::kBegin, round, "mrename", slotText, name, newName});
                    view.renameMacroIniFile(name, newName);
                } else {
                    dialogs.open = user.absoluteFilePath(QStringLiteral("imports/m%1.mc").arg(seq));
                    writeMacroSource(dialogs.open, seq);
                    journal.line({saveversions::kBegin, round, "mimport", slotText, name});
                    view.loadMacroIniFromFile(name);
                }
            }
            // The settings objects write on the event loop's next turn, as
            // they do in the program; the round ends once that has happened.
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (!fixture::waitUntilIdle(*link)) {
                std::fprintf(stderr, "the keyboard link stayed busy\n");
                exitCode = 1;
                break;
            }
            journal.line({saveversions::kEnd, round, outcome});
            if (!dialogs.open.isEmpty())
                QFile::remove(dialogs.open);
            dialogs.open.clear();
        }
    }
    UserDialogs::install(nullptr);
    return exitCode;
}
