// Control interface of the emulated Q3 keyboard (libq3emu.so).
//
// The library exports the whole hidapi C API and serves it from an
// in-process model of the keyboard, so a program linked against it (tests)
// or preloaded with it (./run.sh without hardware) talks to the model exactly
// as it would talk to a keyboard through hidraw. This header is for tests and
// tools that want to steer the model: plug and unplug interfaces, press keys
// on the "keyboard", inject faults and read back what was stored and what
// travelled over the wire.
//
// The library also stands in for libudev's monitor (see "device events"
// below), so a program that watches hidraw sees the emulated interfaces come
// and go. Link or preload it before libudev and hidapi.
//
// Every function here is thread-safe; the model is one process-wide object.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

// The library hides everything but this API and hidapi's, so that nothing of
// it can clash with the program it is preloaded into.
#pragma GCC visibility push(default)

namespace q3emu {

// USB identities the model presents. The normal-mode keyboard exposes the
// command and event interfaces; the boot loader appears instead of them while
// the keyboard is in its boot loader.
constexpr uint16_t kVendorId = 0x04D9;
constexpr uint16_t kKeyboardProductId = 0xA1CD;
constexpr uint16_t kBootLoaderProductId = 0x8022;
constexpr uint16_t kMouseProductId = 0xA09F;

// Interfaces the model can expose; each has its own hidraw-like path.
enum class Interface {
    Command,       // usage page 0xFF01, usage 0x0001: feature reports + 64-byte data phases
    Event,         // usage page 0xFF02, usage 0x0001: 12-byte event reports
    SecondCommand, // another node with the command interface's usage pair
    Mouse,         // a companion mouse 0x04D9/0xA09F, usage page 0xFF00, usage 0xFF00
    BootLoader,    // 0x04D9/0x8022, usage page 0xFF00, usage 0x0020
};

// Named starting points. reset() puts the model back into factory state and
// plugs the interfaces that the scenario names.
enum class Scenario {
    NoKeyboard,            // nothing plugged
    Keyboard,              // command + event interface (the usual case)
    CommandInterfaceOnly,  // only the command interface enumerates
    DuplicateCommandUsage, // command, event, then a second node with the command usage pair
    KeyboardAndMouse,      // the keyboard plus the companion mouse
};

constexpr int kProfileCount = 4;
constexpr int kMacrosPerProfile = 32;  // device macro id = 32 * profile + index
constexpr int kPicturesPerProfile = 8; // picture indexes 0..7; others are refused
constexpr int kMatrixBytes = 256;      // 128 key positions, low byte first
constexpr int kBlockBytes = 128;
constexpr int kPaletteBytes = 64;

struct ProfileState {
    uint8_t keyMatrix[kMatrixBytes];
    uint8_t macros[kMacrosPerProfile][kBlockBytes];
    uint8_t pictures[kPicturesPerProfile][3][kBlockBytes]; // [picture][plane][key]
    uint8_t palette[kPaletteBytes];
    // type, brightness, speed, direction, color, type_Side: as 08H carries them
    uint8_t lighting[6];
};

enum class Mode { Normal, BootLoader };

struct KeyboardState {
    ProfileState profiles[kProfileCount];
    uint8_t options[3];       // 02H/82H
    uint8_t sensitivity;      // 04H/84H
    uint8_t activeProfile;    // 21H/A1H, 0..3
    uint16_t firmwareVersion; // 80H, high byte first on the wire; 0x0201 by default
    uint8_t layoutMode;       // 80H bit 1 of a[3]: 0 English, 1 Spanish
    uint8_t modeOtherBits;    // the other bits of 80H's a[3] (bit 1 is ignored here); 0 by default
    Mode mode;
    int stopMacroCount;     // how often 09H arrived
    int recoveryCount;      // how often 13H arrived
    int bootLoaderRequests; // how often 0FH arrived with the right entry code
};

// The boot loader's flash as it reports it. The flash that exists holds
// pageSize * pageCount bytes but never more than kMaxFlashBytes: a larger
// geometry is reported as set (so that a host can be shown a device it must
// refuse) while pages past 65,536 bytes are answered as out of range.
constexpr int kMaxFlashBytes = 65536;
struct FlashGeometry {
    int pageSize = 512;   // 1 .. 4096
    int pageCount = 128;  // 0 .. 65535
    int blockSize = 1024; // the most bytes one program command takes, 1 .. 4096
};

struct BootLoaderState {
    FlashGeometry geometry;
    std::vector<uint8_t> flash; // min(pageSize * pageCount, 65536) bytes; erased bytes are 0xFF
    bool locked;                // programming refused until a page is erased
    bool sessionOpen;           // a host has connected and not disconnected
    int startMode;              // 1: user program at power-up only, 2: also on the switch command
    int switches;               // how often the boot loader left for the user program
};

// Operations of the boot loader's protocol (isp/PROTOCOL.md) that can be made
// to fail: the boot loader answers them with its failure status.
enum class BootLoaderStep { Connect, Erase, BlankCheck, Program, Verify, Execute, Lock };

// The factory state: every profile with matrix = default codes (position p
// holds key code p+4 for the positions that carry a key, see
// defaultKeyCode()), empty macros and pictures, a rainbow palette and
// lighting (0, 63, 3, 0, 5, 0) as in the shipped default profile; options 00 00 00, sensitivity 0, profile 0,
// firmware 0x0201, layout 0.
KeyboardState factoryState();
// p + 4 for positions 0..127, except: 0 at the keys the firmware handles
// itself (89 Fn, 116..119 profile and macro keys) and outside 0..127;
// position 61 holds position 45's code, as the keyboard keeps a copy there.
uint16_t defaultKeyCode(int position);

// One report as it crossed the wire, in the direction of the host's call.
struct TraceEntry {
    enum class Kind {
        FeatureSent, // hid_send_feature_report: report id + 8 packet bytes, as sent (possibly scrambled)
        FeatureRead, // hid_get_feature_report: what the keyboard answered
        Output,      // hid_write on the command interface: report id + data
        Input,       // hid_read(_timeout): what the host received (data bytes, no report id)
    };
    Kind kind;
    Interface iface;
    std::vector<uint8_t> bytes;
    std::chrono::steady_clock::time_point time; // when the transfer completed
    std::thread::id thread;                     // the host thread that made the call
};

// --- life cycle -------------------------------------------------------------
// Factory state, empty trace, no faults, report delay 1 ms, scrambling off,
// re-enumeration delay 200 ms, the factory flash; handles opened before stay
// invalid. Changes of what is plugged are reported as device events.
void reset(Scenario scenario = Scenario::Keyboard);
void plug(Interface iface);
void unplug(Interface iface); // open handles to it fail from now on, even after a new plug(); pending reads
                              // wake with -1
bool isPlugged(Interface iface);
int openHandleCount(
    Interface iface); // opened since the last reset() and not yet closed, dead handles included

// Per-report transfer time (feature, output and input reports alike), as a
// full-speed USB device takes about 1 ms. 0 makes every transfer immediate.
void setReportDelay(std::chrono::microseconds delay);

// Whether the keyboard expects scrambled command packets and scrambles the
// answers of short reads (the device description's isEncode switch).
void setScrambling(bool on);

// --- modes and the boot loader ------------------------------------------------
// In normal mode the keyboard takes the boot-loader command 0FH with the
// entry code, and leaves only once it has answered the status query 8FH with
// 0xFF in byte 1 (the host has read that answer): its interfaces unplug at
// once and the boot loader plugs in `delay` later, as a real keyboard
// re-enumerates. The boot loader's switch command brings the keyboard back
// the same way, reporting the firmware version of the version block in its
// flash (isp/firmwareimage.h; a flash without one keeps the version it had).
// While it re-enumerates, state().mode already names the mode it is heading
// for and neither identity is plugged. Default 200 ms; 0 switches at once.
void setReenumerationDelay(std::chrono::milliseconds delay);
// Takes effect at once: the flash is erased (0xFF) and unlocked. reset()
// restores 512-byte pages x 128 with a factory image carrying version 0x0201.
void setFlashGeometry(const FlashGeometry &geometry);

// --- the keyboard side --------------------------------------------------------
// Queue an event report of any length on the event interface. It is delivered
// to the next read of that interface (the endpoint holds it until polled).
void emitEventReport(const std::vector<uint8_t> &report);
// What a user does at the keyboard: change the state and announce it with a
// 12-byte event report (byte 1 profile, 4 effect, 5 brightness, 6 speed).
void pressProfileKey(int profile);
void pressLightingKeys(uint8_t effect, uint8_t brightness, uint8_t speed);

// --- faults -----------------------------------------------------------------
// Counts: the next `count` calls of that kind fail (-1 for "until cleared").
void failOpen(Interface iface, int count = -1);
void failFeatureSend(int count = -1);
void failFeatureRead(int count = -1);
void failOutputWrite(int afterGood, int count = -1); // `afterGood` writes succeed first
// Reads on the command interface: `afterGood` reads that deliver a report
// succeed, then reads return -1 at once without consuming a report.
void failInputRead(int afterGood, int count = -1);
// The data phase of bulk reads: send only the first `reports` input reports
// (the rest never arrive), or send each report with `length` data bytes.
void limitDataPhaseReports(int reports); // -1: no limit
// -1: the interface's 64; shorter reports carry the first `length` bytes of
// their chunk. Reports of a data phase before `fromReport` keep their length.
void setInputReportLength(int length, int fromReport = 0);
// A keyboard that stops answering: feature reports and writes fail after
// `timeout` (as a USB control transfer that times out), reads on every
// interface get nothing; queued reports are delivered again after clearFaults().
// Opening still works: the device nodes stay.
void stopAnswering(std::chrono::milliseconds timeout = std::chrono::milliseconds(50));
// The next `count` status queries 8FH after 0FH are answered with 0x00 in
// byte 1, and the keyboard stays in normal mode.
void refuseBootLoaderEntry(int count = -1);
// The next `count` boot-loader commands of that step are answered with the
// failure status (nothing is changed in the flash).
void failBootLoaderStep(BootLoaderStep step, int count = -1);
// The next `count` answers of the boot loader arrive corrupted (their check
// byte does not add up).
void garbleBootLoaderAnswers(int count = -1);
// The device that `iface` belongs to (the keyboard with all its interfaces,
// the boot loader, the mouse) is pulled out after `writes` more output
// reports to `iface` have gone through: the next write fails, pending reads
// wake with -1. -1 disarms it.
void vanishAfterWrites(Interface iface, int writes);
void clearFaults(); // all of the above, also the step, entry and vanish faults

// --- raw answers --------------------------------------------------------------
// One exchange on the command interface as a keyboard with broken or hostile
// firmware might answer it, for fuzzing the host. `answer` is what each
// feature-report read returns until the next command packet: these bytes,
// report id first, cut to the host's buffer (an empty answer reads as 0
// bytes). `inputReports` are the input reports that follow on the command
// interface, each of any length; the host receives at most its buffer's size
// of each, as from hidraw.
struct RawExchange {
    std::vector<uint8_t> answer;
    std::vector<std::vector<uint8_t>> inputReports;
};
// The next command packets on the command interface are answered from
// `exchanges`, one exchange per packet in order, in place of the firmware's
// own answer and data phase; the firmware still receives every packet and
// output report, so its state follows as usual. While a raw exchange is
// current, a read on the command interface that finds its reports used up
// fails at once (-1) instead of waiting for one that will never come. Once all
// are served the firmware answers again. Replaces exchanges not yet served;
// reset() drops them. Faults still apply on top.
void serveRawExchanges(const std::vector<RawExchange> &exchanges);
// Raw exchanges not yet started.
int pendingRawExchanges();

// --- inspection -------------------------------------------------------------
KeyboardState state();
// A different `mode` switches as the keyboard does: Mode::BootLoader unplugs
// the keyboard's interfaces and plugs the boot loader, Mode::Normal the reverse.
void setState(const KeyboardState &s);
std::vector<TraceEntry> trace();
void clearTrace();
std::string pathOf(Interface iface); // the path hid_enumerate reports for it
BootLoaderState bootLoaderState();

// --- sharing --------------------------------------------------------------------
// Programs that preload the library share one keyboard: its stored state,
// what is plugged and a pending re-enumeration live in a locked file that
// every change goes through, so an update made by one program shows in the
// others and no change is lost when two programs write at once. The file is
// Q3EMU_STATE when set ("private" keeps a keyboard of the process's own);
// otherwise a preloading program shares $XDG_RUNTIME_DIR/q3emu/keyboard.state
// (/tmp/q3emu-<uid>/ without a runtime folder) and a program that links the
// library keeps its own. reset() puts the shared keyboard back into factory
// state for every program. Empty when this process's keyboard is its own.
std::string sharedStatePath();

// --- device events ------------------------------------------------------------
// udev_monitor_new_from_netlink() with "udev" or "kernel" returns a monitor
// that, once receiving, reports every plug and unplug of an emulated
// interface as one hidraw device with action "add" or "remove", in the order
// they happen; its fd (udev_monitor_get_fd) polls readable while such an event
// or one of the real monitor's waits. The device carries subsystem "hidraw",
// sysname "hidraw9N" (N the interface's number in Interface), devnode the
// path hid_enumerate reports, a syspath under /sys/devices/virtual/q3emu/, and
// parents "hid" (property HID_ID "0003:000004D9:0000PPPP") and "usb"
// usb_device (attributes idVendor, idProduct). Real devices and every other
// libudev call go to the real libudev.

} // namespace q3emu

#pragma GCC visibility pop
