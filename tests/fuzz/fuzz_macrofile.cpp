// An imported macro ("*.mc") is any file the user picks. It goes through the
// view's slots as the macro and key pages call them: import over an existing
// macro, read its lines and binding, encode it, store the binding again and
// save the lines, which sends a bound macro to the (emulated) keyboard, then
// export it.
//
// Promises checked besides the sanitizers' own: the macro becomes the picked
// file with its own binding written over the file's (what a second macro
// made from the same bytes reads after the same rewrite) and keeps that
// binding; the stream is well formed; saved lines read
// back as they were; a macro the keyboard received is the block of the
// stream; the export is a byte copy of the macro file.
#include "fuzzsandbox.h"
#include "linkfixture.h"
#include "macrocodec.h"
#include "macrostream.h"
#include "myquickview.h"
#include "scripteddialogs.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>

#include <cstring>

namespace {

fuzz::Sandbox *sandbox;
Hid_Thread *link;
myQQuickView *view;
ScriptedDialogs *dialogs;
QString name;
// A second macro holding the picked file as it is: what reading it gives.
QString reference;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every macro block the keyboard received during this input is the block
// of `stream` and landed where its id says.
void checkSentBlocks(const QList<uchar> &stream)
{
    const std::array<uchar, macrocodec::kBlockBytes> expected = macrocodec::block(stream);
    const q3emu::KeyboardState state = q3emu::state();
    for (const q3emu::TraceEntry &e : fixture::traceOf(q3emu::TraceEntry::Kind::FeatureSent)) {
        if (e.bytes.size() < 4 || e.bytes[1] != 0x10)
            continue;
        const int id = e.bytes[3];
        fuzz::require(id / q3emu::kMacrosPerProfile == 0, "a macro of slot 0 goes to profile 0's ids");
        fuzz::require(std::memcmp(state.profiles[0].macros[id % q3emu::kMacrosPerProfile], expected.data(),
                                  expected.size()) == 0,
                      "the keyboard holds the block of the stream");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    sandbox = fuzz::Sandbox::create();
    fuzz::startApplication();
    sandbox->installShippedModules();
    dialogs = new ScriptedDialogs;
    link = fixture::makeLink().release();
    view = new myQQuickView;
    view->setHid(link);
    name = view->createMacroIni().toString();
    fuzz::require(!name.isEmpty(), "a macro to import over");
    reference = view->createMacroIni().toString();
    fuzz::require(!reference.isEmpty() && reference != name, "a macro to read the picked file through");
    sandbox->expectUserFile(QStringLiteral("import.mc"));
    sandbox->expectUserFile(QStringLiteral("export.mc"));
    sandbox->snapshot();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    // Sending takes the link's pauses (some 30 ms), which would leave little
    // time for the files themselves: one input in eight, picked by its
    // bytes, has the keyboard attached.
    const bool attached = (qChecksum(bytes.constData(), uint(bytes.size())) & 7) == 0;
    view->setHid(attached ? link : nullptr);
    const QString macroFile = sandbox->programPath(QStringLiteral("modules/macro0/") + name + ".bin");
    const QString picked = sandbox->userFile(QStringLiteral("import.mc"));
    sandbox->writeFresh(picked, bytes);
    dialogs->answer = picked;
    int binding[3];
    {
        const QSettings old(macroFile, QSettings::IniFormat);
        binding[0] = old.value(QStringLiteral("config/index"), -1).toInt();
        binding[1] = old.value(QStringLiteral("config/repeat"), 1).toInt();
        binding[2] = old.value(QStringLiteral("config/did"), -1).toInt();
    }
    const QString referenceFile = sandbox->programPath(QStringLiteral("modules/macro0/") + reference + ".bin");
    sandbox->writeFresh(referenceFile, bytes);
    {
        QSettings file(referenceFile, QSettings::IniFormat);
        file.setValue(QStringLiteral("config/index"), binding[0]);
        file.setValue(QStringLiteral("config/repeat"), binding[1]);
        file.setValue(QStringLiteral("config/did"), binding[2]);
    }
    view->loadMacroIniFromFile(name);
    fuzz::require(view->loadMacroIni(name) == view->loadMacroIni(reference),
                  "the macro takes the picked file's lines");
    {
        const QSettings now(macroFile, QSettings::IniFormat);
        if (now.status() == QSettings::NoError)
            fuzz::require(now.value(QStringLiteral("config/index"), -1).toInt() == binding[0] &&
                              now.value(QStringLiteral("config/did"), -1).toInt() == binding[2],
                          "an import keeps the macro's binding");
    }

    const QStringList lines = view->loadMacroIni(name);
    const QVariantList config = view->loadMacroIniConfig(name);
    const QList<uchar> stream = view->macroIncode(lines);
    QList<fuzz::MacroStep> steps;
    fuzz::require(fuzz::parseMacroStream(stream, steps), "the stream is well formed");

    q3emu::clearTrace();
    if (config.size() >= 2)
        view->setMacroIniConfig(name, config);
    fuzz::require(view->saveMacroIni(name, lines).toBool(), "an existing macro is saved");
    fuzz::require(view->loadMacroIni(name) == lines, "saved lines read back as they were");
    fuzz::require(fixture::waitUntilIdle(*link), "the link comes back");
    checkSentBlocks(stream);

    dialogs->saveAnswer = sandbox->userFile(QStringLiteral("export.mc"));
    view->saveMacroIniToFile(name);
    fuzz::require(contents(dialogs->saveAnswer) == contents(macroFile), "the export is a copy of the macro");

    dialogs->opened.clear();
    dialogs->saved.clear();
    dialogs->warnings.clear();
    q3emu::clearTrace();
    sandbox->check();
    return 0;
}
