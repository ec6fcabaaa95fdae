// A stand-in for the kernel's parallel-port device, preloaded into a test
// (LD_PRELOAD): open(), ioctl() and close() on the node named by
// ZORVEK_STAND_IN_PARPORT are served by the LPT reader's register twin,
// which holds the image file named by ZORVEK_STAND_IN_IMAGE. Everything
// else goes on to the C library. The ioctls behave as ppdev's do: the
// register requests need the port claimed first (EINVAL otherwise).
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <vector>

#include "sim/lpt_reader_twin.h"
#include "tests/support/ppdev_stand_in.h"

namespace {

using zorvek::LptPortCode;
using zorvek::LptPortRecord;
using zorvek::LptRegister;
using zorvek::test::StandInCounts;

struct StandIn {
    std::mutex mutex;
    int fd = -1;
    bool claimed = false;
    std::unique_ptr<zorvek::sim::LptReaderTwin> twin;
    StandInCounts counts;
};

StandIn& State() {
    static StandIn state;
    return state;
}

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

std::vector<std::uint8_t> ImageFile() {
    const char* name = std::getenv("ZORVEK_STAND_IN_IMAGE");
    std::ifstream in(name != nullptr ? name : "", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool IsTheNode(const char* path) {
    const char* node = std::getenv("ZORVEK_STAND_IN_PARPORT");
    return node != nullptr && path != nullptr && std::strcmp(node, path) == 0;
}

// The node's descriptor is a real one (of /dev/null), so that nothing else
// can be handed the same number meanwhile.
int OpenNode() {
    StandIn& state = State();
    std::lock_guard lock(state.mutex);
    if (state.fd >= 0) {
        errno = EBUSY;
        return -1;
    }
    using Open = int (*)(const char*, int, ...);
    state.fd = Next<Open>("open")("/dev/null", O_RDWR | O_CLOEXEC);
    if (state.fd < 0) return -1;
    state.twin = std::make_unique<zorvek::sim::LptReaderTwin>(ImageFile(), zorvek::SystemWaits());
    state.claimed = false;
    ++state.counts.opens;
    return state.fd;
}

int Fail(int error) {
    errno = error;
    return -1;
}

int Register(StandIn& state, unsigned long request, unsigned char* value) {
    const auto code = [](LptRegister reg) { return LptPortCode(2, reg); };
    LptPortRecord record;
    zorvek::TransferResult done;
    switch (request) {
        case PPRDATA:
        case PPRSTATUS:
        case PPRCONTROL:
            record.code = code(request == PPRDATA     ? LptRegister::Data
                               : request == PPRSTATUS ? LptRegister::Status
                                                      : LptRegister::Control);
            done = state.twin->LptReadPort(record);
            *value = record.value;
            if (request == PPRSTATUS) ++state.counts.statusReads;
            break;
        case PPWDATA:
        case PPWCONTROL:
            record.code = code(request == PPWDATA ? LptRegister::Data : LptRegister::Control);
            record.value = *value;
            done = state.twin->LptWritePort(record);
            if (request == PPWDATA) ++state.counts.dataWrites;
            break;
        default:
            return Fail(ENOTTY);
    }
    return done ? 0 : Fail(EIO);
}

int NodeIoctl(unsigned long request, void* argument) {
    StandIn& state = State();
    std::lock_guard lock(state.mutex);
    switch (request) {
        case PPCLAIM:
            if (!state.twin->LptOpenAccess()) return Fail(EIO);
            state.claimed = true;
            ++state.counts.claims;
            return 0;
        case PPRELEASE:
            if (!state.claimed) return Fail(EINVAL);
            state.claimed = false;
            state.twin->LptCloseAccess();
            ++state.counts.releases;
            return 0;
        default:
            if (!state.claimed) {
                ++state.counts.unclaimed;
                return Fail(EINVAL);
            }
            return Register(state, request, static_cast<unsigned char*>(argument));
    }
}

// The node, or the C library's `name` with the mode when one is passed.
int OpenPath(const char* name, const char* path, int flags, va_list arguments) {
    if (IsTheNode(path)) return OpenNode();
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        mode = static_cast<mode_t>(va_arg(arguments, int));
    }
    using Open = int (*)(const char*, int, ...);
    return Next<Open>(name)(path, flags, mode);
}

}  // namespace

extern "C" {

const StandInCounts* ZorvekStandInCounts() { return &State().counts; }

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int fd = OpenPath("open", path, flags, arguments);
    va_end(arguments);
    return fd;
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int fd = OpenPath("open64", path, flags, arguments);
    va_end(arguments);
    return fd;
}

int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (fd >= 0 && fd == State().fd) return NodeIoctl(request, argument);
    using Ioctl = int (*)(int, unsigned long, ...);
    return Next<Ioctl>("ioctl")(fd, request, argument);
}

int close(int fd) {
    StandIn& state = State();
    if (fd >= 0 && fd == state.fd) {
        std::lock_guard lock(state.mutex);
        // Closing the node gives up a claim, as the kernel's release does.
        if (state.claimed) state.twin->LptCloseAccess();
        state.claimed = false;
        state.fd = -1;
        ++state.counts.closes;
    }
    using Close = int (*)(int);
    return Next<Close>("close")(fd);
}

}  // extern "C"
