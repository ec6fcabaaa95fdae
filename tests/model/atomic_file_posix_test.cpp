// The atomic writer watched from below: this test program stands in for the
// system's fsync, close and rename (its own definitions take precedence over
// the C library's) and passes each call on, noting the calls on files of the
// test's folder and failing the ones a case asks to fail.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "model/atomic_file.h"
#include "tests/support/temp_dir.h"

namespace {

struct Watch {
    std::string folder;              // calls on files under it are noted
    std::vector<std::string> calls;  // "fsync path", "close path", "rename path"
    std::string failing;             // "fsync" or "close": fails with EIO on a watched file
};
Watch* g_watch = nullptr;

std::string PathOf(int fd) {
    char target[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

bool Watched(const std::string& path) {
    return g_watch != nullptr && path.starts_with(g_watch->folder);
}

template <typename Function>
Function* Next(const char* name) {
    return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

// Notes the call; true when it is to fail.
bool Note(const char* call, const std::string& path) {
    if (!Watched(path)) return false;
    g_watch->calls.push_back(std::string(call) + " " + path);
    return g_watch->failing == call;
}

}  // namespace

extern "C" int fsync(int fd) {
    static auto* const next = Next<int(int)>("fsync");
    if (Note("fsync", PathOf(fd))) {
        errno = EIO;
        return -1;
    }
    return next(fd);
}

extern "C" int close(int fd) {
    static auto* const next = Next<int(int)>("close");
    const bool fail = Note("close", PathOf(fd));
    const int closed = next(fd);
    if (fail) {
        errno = EIO;
        return -1;
    }
    return closed;
}

extern "C" int rename(const char* from, const char* to) noexcept {
    static auto* const next = Next<int(const char*, const char*)>("rename");
    Note("rename", from);
    return next(from, to);
}

namespace zorvek {
namespace {

class AtomicFile : public test::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        m_watch.folder = std::filesystem::canonical(m_dir).string() + "/";
        g_watch = &m_watch;
    }
    void TearDown() override {
        g_watch = nullptr;
        TempDirTest::TearDown();
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    Watch m_watch;
};

// Renamed over the old file only once the new one's bytes are on the disk
// and the file is closed: a crash after the rename never finds it short.
TEST_F(AtomicFile, RenamesOnlyAFlushedAndClosedFile) {
    const std::vector<std::uint8_t> bytes(100000, 0x5A);
    ASSERT_TRUE(WriteFileAtomically(m_dir / "form1.rtf", bytes));
    std::string renamed;
    for (const std::string& call : m_watch.calls) {
        if (call.starts_with("rename ")) renamed = call.substr(7);
    }
    ASSERT_FALSE(renamed.empty()) << "no rename";
    const auto at = [&](const std::string& call) {
        const auto found = std::find(m_watch.calls.begin(), m_watch.calls.end(), call);
        return found - m_watch.calls.begin();
    };
    const auto rename = at("rename " + renamed);
    EXPECT_LT(at("fsync " + renamed), rename) << "renamed before its bytes were flushed";
    EXPECT_LT(at("close " + renamed), rename) << "renamed while still open";
    EXPECT_EQ(TempDirTest::ReadFile(m_dir / "form1.rtf"), bytes);
}

// A flush or a close that fails is a write that failed: the old file stays
// as it was, the new one is gone, and the caller hears of it.
TEST_F(AtomicFile, FailedFlushOrCloseKeepsTheOldFile) {
    const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
    for (const std::string failing : {"fsync", "close"}) {
        SCOPED_TRACE(failing);
        WriteFile("form1.rtf", old);
        m_watch.failing = failing;
        const TransferResult written =
            WriteFileAtomically(m_dir / "form1.rtf", std::vector<std::uint8_t>(5000, 'n'));
        m_watch.failing.clear();
        EXPECT_FALSE(written);
        EXPECT_EQ(written.SystemError(), EIO);
        EXPECT_EQ(TempDirTest::ReadFile(m_dir / "form1.rtf"), old);
        EXPECT_EQ(Files(), std::vector<std::string>{"form1.rtf"});
    }
}

}  // namespace
}  // namespace zorvek
