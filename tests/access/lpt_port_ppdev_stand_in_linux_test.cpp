// The ppdev backend, unchanged, against the register twin: the test runs
// with the stand-in for the kernel's parallel-port device preloaded, so
// the backend's open, claim, data, status, release and close calls are the
// real ones and reach the twin through them.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "access/lpt_reader.h"
#include "sim/image_generator.h"
#include "tests/support/ppdev_stand_in.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

class PpdevStandIn : public test::TempDirTest {};

TEST_F(PpdevStandIn, TheReaderIsReadAndWrittenThroughTheBackendsIoctls) {
    using Counts = const test::StandInCounts* (*)();
    const auto counts = reinterpret_cast<Counts>(::dlsym(RTLD_DEFAULT, "ZorvekStandInCounts"));
    if (counts == nullptr) GTEST_SKIP() << "the parallel-port stand-in is not preloaded";
    const auto image = sim::ImageFileBytes(sim::GenerateImage({}), sim::ImageVariant::Valid);
    const auto imageFile = WriteFile("reader.krd", image);
    const auto node = m_dir / "parport7";
    ::setenv("ZORVEK_STAND_IN_IMAGE", imageFile.c_str(), 1);
    ::setenv("ZORVEK_STAND_IN_PARPORT", node.c_str(), 1);
    ::setenv("ZORVEK_LPT", node.c_str(), 1);

    LptReader reader(MakeSystemLptPort(), SystemWaits());
    ASSERT_TRUE(reader.Open());
    std::vector<std::uint8_t> read(image.size());
    ASSERT_TRUE(reader.Read(0x30000, read.data(), 0x10000, nullptr));
    EXPECT_EQ(read, image);
    const std::uint8_t zeros[4] = {};
    ASSERT_TRUE(reader.Write(0x30005, zeros, 4, nullptr));
    std::uint8_t back[4] = {1, 1, 1, 1};
    ASSERT_TRUE(reader.Read(0x30005, back, 4, nullptr));
    EXPECT_EQ(std::vector<std::uint8_t>(back, back + 4), std::vector<std::uint8_t>(4, 0));
    reader.Close();

    const test::StandInCounts& seen = *counts();
    EXPECT_EQ(seen.opens, 1);
    EXPECT_EQ(seen.claims, 1);
    EXPECT_EQ(seen.releases, 1);
    EXPECT_EQ(seen.closes, 1);
    EXPECT_EQ(seen.unclaimed, 0);
    EXPECT_GT(seen.dataWrites, 0x10000L);
    EXPECT_GT(seen.statusReads, 0x10000L);
    ::unsetenv("ZORVEK_LPT");
}

}  // namespace
}  // namespace zorvek
