// An imported profile ("*.pf") is any file the user picks. It goes through
// the view's own slots as QML calls them: LOAD into a slot, then what the
// pages read from it and apply again, then SAVE to another file.
//
// Promises checked besides the sanitizers' own: the slot file becomes a byte
// copy of the picked file; what the view reads back is what a fresh reader
// makes of those bytes (never what the slot held before); the export is a
// byte copy of the slot as the pages left it.
#include "fuzzsandbox.h"
#include "myquickview.h"
#include "scripteddialogs.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>

namespace {

constexpr int kSlot = 1;
constexpr int kKeys = 128;
constexpr int kPictures = 8;

fuzz::Sandbox *sandbox;
myQQuickView *view;
ScriptedDialogs *dialogs;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the pages do with a slot they switch to: read every value and send
// it again, with the numbers QML would make of the texts.
void applyAsThePagesDo()
{
    QVariantList matrix;
    for (int i = 0; i < kKeys; ++i) {
        const QVariantList key = view->getKeydefine(i);
        matrix << key.value(0).toInt() << key.value(1).toInt();
    }
    view->ui_0C0DH_SetKeyMatrix(matrix);

    const QVariantList lighting = view->ui_88H_GetLEDType();
    if (lighting.size() >= 6)
        view->ui_08H_SetLEDType(uchar(lighting.at(0).toInt()), uchar(lighting.at(1).toInt()),
                                uchar(lighting.at(2).toInt()), uchar(lighting.at(3).toInt()),
                                uchar(lighting.at(4).toInt()), uchar(lighting.at(5).toInt()));
    view->ui_30H_SetColor(view->ui_B0H_GetColor());
    for (int index = 0; index < kPictures; ++index)
        view->ui_12H_SetUserPicture(uchar(index), 255, view->ui_92H_GetUserPicture(uchar(index)));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    sandbox = fuzz::Sandbox::create();
    fuzz::startApplication();
    sandbox->installShippedModules();
    dialogs = new ScriptedDialogs;
    view = new myQQuickView;
    view->ui_21H_SetCurrentProfile(kSlot);
    sandbox->expectUserFile(QStringLiteral("import.pf"));
    sandbox->expectUserFile(QStringLiteral("export.pf"));
    sandbox->snapshot();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QString picked = sandbox->userFile(QStringLiteral("import.pf"));
    sandbox->writeFresh(picked, bytes);
    dialogs->answer = picked;
    view->loadProfile(kSlot);
    fuzz::require(contents(sandbox->programPath(QStringLiteral("modules/setting/p2.bin"))) == bytes,
                  "the slot file is a copy of the imported one");

    // A reader of a file of its own, with a time stamp no earlier version
    // had, so it cannot have seen the slot's earlier contents.
    const QString referencePath = sandbox->scratchPath(QStringLiteral("reference.pf"));
    sandbox->writeFresh(referencePath, bytes);
    {
        const QSettings reference(referencePath, QSettings::IniFormat);
        fuzz::require(view->ui_B0H_GetColor() == reference.value(QStringLiteral("color/color"), 0).toList(),
                      "the palette read is the imported one");
        fuzz::require(view->ui_88H_GetLEDType() == reference.value(QStringLiteral("color/ledType"), 0).toList(),
                      "the lighting read is the imported one");
        const QString group = QStringLiteral("keydefine%1/").arg(int(view->keyboardLayout()));
        for (int i = 0; i < kKeys; ++i)
            fuzz::require(view->getKeydefine(i) == reference.value(group + QString::number(i)).toList(),
                          "the key matrix read is the imported one");
    }
    QFile::remove(referencePath);

    applyAsThePagesDo();
    dialogs->saveAnswer = sandbox->userFile(QStringLiteral("export.pf"));
    view->saveProfile(kSlot);
    fuzz::require(contents(dialogs->saveAnswer) ==
                      contents(sandbox->programPath(QStringLiteral("modules/setting/p2.bin"))),
                  "the export is a copy of the slot");
    dialogs->opened.clear();
    dialogs->saved.clear();
    // The settings objects the import released are deleted later.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    sandbox->check();
    return 0;
}
