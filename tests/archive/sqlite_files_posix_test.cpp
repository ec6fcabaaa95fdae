#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "archive/readout_archive.h"
#include "sim/image_generator.h"
#include "tests/support/temp_dir.h"

namespace zorvek::archive {
namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

unsigned Mode(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

NewReadout Readout(std::uint32_t seed) {
    const sim::Image image = sim::GenerateImage({seed});
    NewReadout readout;
    readout.image.assign(image.begin(), image.end());
    return readout;
}

bool Added(const fs::path& file, std::uint32_t seed) {
    auto opened = OpenArchive(Utf8(file));
    return opened && opened.value->Add(Readout(seed));
}

// What the program makes is the user's alone; what was there keeps its mode.
TEST(ArchiveFiles, WhatTheProgramMakesOnlyTheUserReads) {
    const fs::path root = test::TestFolder("zorvek-archive-modes-");
    fs::create_directories(root / "kept");
    fs::permissions(root / "kept", static_cast<fs::perms>(0750));
    ::close(::open((root / "kept" / "archive.sqlite").c_str(), O_WRONLY | O_CREAT, 0640));
    ::chmod((root / "kept" / "archive.sqlite").c_str(), 0640);
    const struct {
        fs::path file;
        fs::path madeFolder;  // empty where none is made
        unsigned folderMode;
        unsigned fileMode;
    } cases[] = {
        {root / "new" / "deeper" / "archive.sqlite", root / "new", 0700, 0600},
        {root / "kept" / "archive.sqlite", {}, 0750, 0640},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_TRUE(Added(c.file, 60));
        EXPECT_EQ(Mode(c.file.parent_path()), c.folderMode);
        if (!c.madeFolder.empty()) {
            EXPECT_EQ(Mode(c.madeFolder), c.folderMode);
        }
        for (const char* ending : {"", "-wal", "-shm"}) {
            const fs::path file = c.file.string() + ending;
            if (fs::exists(file)) {
                EXPECT_EQ(Mode(file), c.fileMode) << file;
            }
        }
    }
    fs::remove_all(root);
}

// A folder this user may not write: its archive is listed, and a write is
// refused as read-only. Root writes whatever the modes say, so as root the
// archive is opened by a child process that has become nobody.
TEST(ArchiveFiles, AnArchiveInAFolderThatCannotBeWrittenIsRead) {
    const fs::path folder = test::TestFolder("zorvek-archive-read-only-");
    const fs::path file = folder / "archive.sqlite";
    ASSERT_TRUE(Added(file, 61));
    ::chmod(folder.c_str(), 0555);
    ::chmod(file.c_str(), 0644);
    for (const char* ending : {"-wal", "-shm"}) ::chmod((file.string() + ending).c_str(), 0644);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(10);
        auto opened = OpenArchive(Utf8(file));
        if (!opened) ::_exit(11);
        const auto listed = opened.value->List(std::nullopt);
        if (!listed || listed.value.size() != 1) ::_exit(12);
        const auto added = opened.value->Add(Readout(62));
        if (added.status.error != ArchiveError::ReadOnly) ::_exit(13);
        opened.value.reset();
        ::_exit(fs::exists(file.string() + "-journal") ? 14 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::chmod(folder.c_str(), 0700);
    EXPECT_TRUE(WIFEXITED(status));
    // 10 could not become nobody, 11 not opened, 12 not listed, 13 written
    // or refused otherwise, 14 a journal made.
    EXPECT_EQ(WEXITSTATUS(status), 0);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace zorvek::archive
