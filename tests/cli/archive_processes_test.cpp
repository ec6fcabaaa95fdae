#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>

#include "access/program_location.h"
#include "archive/readout_archive.h"
#include "sim/image_generator.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

// Two zorvek-cli processes add the same images to one SQLite archive at
// once, in opposite orders: every image ends up there once, and no add fails.
TEST(ArchiveProcesses, TwoWritersOnOneFileLoseAndDuplicateNothing) {
    const std::filesystem::path folder = test::TestFolder("zorvek-archive-processes-");
    std::filesystem::create_directories(folder);
    constexpr int kImages = 10;
    std::string files;
    for (int i = 0; i < kImages; ++i) {
        const sim::Image image = sim::GenerateImage({static_cast<std::uint32_t>(40 + i)});
        const auto file = folder / ("image" + std::to_string(i) + ".krd");
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), image.size());
        files += " " + file.string();
    }
    const std::string cli = (ExecutableDirectory() / "zorvek-cli").string();
    const std::string archive = (folder / "archive.sqlite").string();
    std::ofstream(folder / "writers.sh")
        << "export ZORVEK_ARCHIVE='" << archive << "'\n"
        << "add() { for f in \"$@\"; do '" << cli
        << "' archive add \"$f\" >/dev/null 2>&1 || echo \"$f\" >> failed; done; }\n"
        << "set --" << files << "\n"
        << "reversed=; for f in \"$@\"; do reversed=\"$f $reversed\"; done\n"
        << "add \"$@\" & add $reversed & wait\n"
        << "test ! -e failed\n";
    EXPECT_EQ(std::system(("cd '" + folder.string() + "' && sh writers.sh").c_str()), 0);

    auto opened = archive::OpenArchive(archive);
    ASSERT_TRUE(opened) << opened.status.reason;
    const auto all = opened.value->List(std::nullopt);
    std::set<std::string> images;
    for (const auto& readout : all.value) images.insert(readout.imageSha256);
    EXPECT_EQ(all.value.size(), static_cast<std::size_t>(kImages));
    EXPECT_EQ(images.size(), static_cast<std::size_t>(kImages));
    opened.value.reset();
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zorvek
