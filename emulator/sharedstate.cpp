#include "sharedstate.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace q3emu::detail {

namespace {

constexpr uint64_t kMagic = 0x3142454B554D4533ull; // "3EMUKEB1"
constexpr uint32_t kVersion = 1;

// A folder only this user can reach: made when missing, refused when it is
// a link, someone else's, or open to others (another user could swap the
// keyboard file under us).
bool privateFolder(const std::string &dir)
{
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0)
        return false;
    return true;
}

} // namespace

std::string SharedState::location()
{
    const char *named = std::getenv("Q3EMU_STATE");
    if (named && *named)
        return std::strcmp(named, "private") == 0 ? std::string() : std::string(named);
    const char *preload = std::getenv("LD_PRELOAD");
    if (!preload || !std::strstr(preload, "libq3emu"))
        return {};
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string dir = runtime && *runtime ? std::string(runtime) + "/q3emu"
                                                : "/tmp/q3emu-" + std::to_string(::getuid());
    if (!privateFolder(dir)) {
        std::fprintf(stderr, "q3emu: %s is not a private folder; this program keeps a keyboard of its own\n",
                     dir.c_str());
        return {};
    }
    return dir + "/keyboard.state";
}

SharedState::~SharedState()
{
    if (block_)
        ::munmap(block_, sizeof(SharedBlock));
    if (fd_ >= 0)
        ::close(fd_);
}

bool SharedState::open(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::fprintf(stderr, "q3emu: cannot open %s (%s); this program keeps a keyboard of its own\n",
                     path.c_str(), std::strerror(errno));
        return false;
    }
    struct stat st {};
    // Growing the file happens under the lock, so that no process maps it
    // while another is still sizing it.
    ::flock(fd, LOCK_EX);
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid();
    if (ok && st.st_size != off_t(sizeof(SharedBlock)))
        ok = ::ftruncate(fd, off_t(sizeof(SharedBlock))) == 0; // a foreign layout starts over
    void *map = ok ? ::mmap(nullptr, sizeof(SharedBlock), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
    ::flock(fd, LOCK_UN);
    if (map == MAP_FAILED) {
        std::fprintf(stderr, "q3emu: cannot share %s; this program keeps a keyboard of its own\n", path.c_str());
        ::close(fd);
        return false;
    }
    fd_ = fd;
    block_ = static_cast<SharedBlock *>(map);
    path_ = path;
    return true;
}

void SharedState::lock()
{
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
    // A file cut short by someone else would fault on the next access to
    // the mapping: grown back it reads as zeros, which is no valid keyboard,
    // and the caller writes its own over it.
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && st.st_size < off_t(sizeof(SharedBlock)) &&
        ::ftruncate(fd_, off_t(sizeof(SharedBlock))) != 0)
        std::fprintf(stderr, "q3emu: cannot restore %s\n", path_.c_str());
}

void SharedState::unlock()
{
    ::flock(fd_, LOCK_UN);
}

bool SharedState::isValid() const
{
    const SharedBlock &b = *block_;
    if (b.magic != kMagic || b.version != kVersion || b.size != sizeof(SharedBlock) || b.sequence == 0)
        return false;
    // What the model indexes by or switches on must be in range.
    if (b.state.activeProfile >= kProfileCount)
        return false;
    if (b.state.mode != Mode::Normal && b.state.mode != Mode::BootLoader)
        return false;
    for (uint8_t p : b.plugged) {
        if (p > 1)
            return false;
    }
    return true;
}

void SharedState::stamp()
{
    block_->magic = kMagic;
    block_->version = kVersion;
    block_->size = sizeof(SharedBlock);
}

} // namespace q3emu::detail
