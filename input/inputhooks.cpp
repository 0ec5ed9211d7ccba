#include "inputhooks.h"

#include "inputlog.h"
#include "keytables.h"
#include "x11recordsource.h"

#include <array>
#include <memory>

Q_LOGGING_CATEGORY(lcInput, "gearpanel.input")

namespace input {

namespace {

// The process-wide capture state; touched on the GUI thread only.
struct HookState {
    ScanToVirtualKey scanToVirtualKey;
    VirtualKeyToUsage virtualKeyToUsage;
    // The state last reported for each usage.
    std::array<bool, 256> keyDown{};
    InputHooks::KeyboardHandler keyboardHandler = nullptr;
    void *keyboardContext = nullptr;
    InputHooks::MouseHandler mouseHandler = nullptr;
    void *mouseContext = nullptr;
    std::unique_ptr<X11RecordSource> source;
    const InputHooks *owner = nullptr;
};

HookState &state()
{
    static HookState hooks;
    return hooks;
}

} // namespace

void keyboardProc(int code, uint32_t message, const KeyEventRecord &event)
{
    HookState &hooks = state();
    const bool isDown = code == kHookAction && (message == KeyDown || message == SystemKeyDown);
    const uint32_t scanCode = event.scanCode > 0xFF ? 0 : event.scanCode;
    const bool extended = (event.flags & kExtendedFlag) != 0;

    uint8_t virtualKey = hooks.scanToVirtualKey.value(scanKey(uint8_t(scanCode), extended));
    if (scanCode == 0x46 && extended)
        virtualKey = 0x13; // Ctrl+Break is the Pause key
    else if (scanCode == 0x54 && (event.flags & kAltDownFlag))
        virtualKey = 0x2C; // Alt+SysRq is the Print Screen key
    if (virtualKey == 0)
        return;
    const uint8_t usage = hooks.virtualKeyToUsage.value(virtualKey);
    if (usage == 0 || hooks.keyDown[usage] == isDown)
        return;
    hooks.keyDown[usage] = isDown;
    if (hooks.keyboardHandler)
        hooks.keyboardHandler(usage, isDown, hooks.keyboardContext);
}

void mouseProc(int, uint32_t message, const MouseEventRecord &event)
{
    if (message < LeftButtonDown || message > MiddleButtonUp)
        return;
    const MouseMessageEntry entry = kMouseMessageTable[message - LeftButtonDown];
    HookState &hooks = state();
    if (entry.buttonCode != 0 && hooks.mouseHandler)
        hooks.mouseHandler(entry.buttonCode, entry.isDown, event.x, event.y, hooks.mouseContext);
}

} // namespace input

using input::state;

namespace {

void keySink(uint32_t message, const input::KeyEventRecord &record)
{
    input::keyboardProc(input::kHookAction, message, record);
}

void mouseSink(uint32_t message, const input::MouseEventRecord &record)
{
    input::mouseProc(input::kHookAction, message, record);
}

} // namespace

InputHooks::~InputHooks()
{
    if (state().owner == this)
        uninstall();
}

bool InputHooks::install(bool hashTildeLayout)
{
    auto &hooks = state();
    m_hashTildeLayout = hashTildeLayout;
    input::buildTables(hashTildeLayout, hooks.scanToVirtualKey, hooks.virtualKeyToUsage);
    if (hooks.source)
        uninstall();

    hooks.source = X11RecordSource::open(&keySink, &mouseSink);
    if (!hooks.source) {
        qCInfo(lcInput) << "no global key capture: the macro and lighting pages will see no key events";
        return false;
    }
    hooks.owner = this;
    qCDebug(lcInput).nospace() << "capture installed, key 0x2B reports 0x" << Qt::hex
                               << (hashTildeLayout ? 0x32 : 0x31);
    return true;
}

void InputHooks::uninstall()
{
    auto &hooks = state();
    if (!hooks.source)
        return;
    // A handler may uninstall while the source is still inside its read;
    // the source then goes once that read is over.
    X11RecordSource *source = hooks.source.release();
    hooks.owner = nullptr;
    source->close();
    qCDebug(lcInput) << "capture removed";
}

bool InputHooks::isInstalled()
{
    return state().source != nullptr;
}

void InputHooks::setKeyboardHandler(KeyboardHandler handler, void *context)
{
    state().keyboardHandler = handler;
    state().keyboardContext = context;
}

void InputHooks::setMouseHandler(MouseHandler handler, void *context)
{
    state().mouseHandler = handler;
    state().mouseContext = context;
}
