// The emulated keyboard shared by the programs of one user: what the keyboard
// stores, which of its interfaces are plugged and when a re-enumerating
// keyboard comes back, in a file mapped by every process that preloads the
// emulator. gearpanel and the romwriter it starts then talk to one keyboard,
// and an update made by one shows in the other.
//
// The file is locked (flock) for as long as a process holds the model's
// mutex, and the model reads the file on taking it when another process has
// written since, and writes it back on giving it up when its own copy
// changed: a change made by one process is never lost to another's.
#pragma once

#include "q3emu.h"
#include "usbidentity.h"

#include <cstdint>
#include <string>

namespace q3emu::detail {

struct SharedBlock {
    uint64_t magic;
    uint32_t version;
    uint32_t size;          // sizeof(SharedBlock): another build's layout is not read
    uint64_t sequence;      // counts the writes; 0 in a block not yet written
    int64_t arrivalAtNs;    // steady (monotonic) clock, 0 when nothing re-enumerates
    uint8_t plugged[kInterfaceCount];
    KeyboardState state;
};

class SharedState
{
public:
    SharedState() = default;
    ~SharedState();
    SharedState(const SharedState &) = delete;
    SharedState &operator=(const SharedState &) = delete;

    // Where this process shares the keyboard, empty for a keyboard of its
    // own. Q3EMU_STATE names the file ("private" for none); without it a
    // process that preloads the emulator shares $XDG_RUNTIME_DIR/q3emu/
    // keyboard.state (/tmp/q3emu-<uid>/ without a runtime folder) and one
    // that links it (a test) keeps its own.
    static std::string location();

    // Maps the file at `path`; false (and a keyboard of the process's own)
    // when it cannot be made or is not safely ours.
    bool open(const std::string &path);
    bool isOpen() const { return block_ != nullptr; }
    const std::string &path() const { return path_; }

    void lock();
    void unlock();
    SharedBlock &block() { return *block_; }
    // Whether the block holds a keyboard written by this build, in a state
    // the model can serve.
    bool isValid() const;
    // Marks the block as written by this build; the caller fills the rest.
    void stamp();

private:
    std::string path_;
    int fd_ = -1;
    SharedBlock *block_ = nullptr;
};

} // namespace q3emu::detail
