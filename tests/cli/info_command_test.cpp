#include "cli/info_command.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <sstream>

#include "model/cycle_line.h"
#include "model/decoders.h"
#include "model/memory_map.h"
#include "sim/image_generator.h"
#include "tests/support/image_reader.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

namespace map = memory_map;

class InfoCommand : public test::TempDirTest {
  protected:
    int Run(const std::filesystem::path& file, std::string& output) {
        std::ostringstream out;
        const int code = cli::RunInfo({file.string()}, out);
        output = out.str();
        return code;
    }
    std::filesystem::path Write(const std::vector<std::uint8_t>& bytes) {
        return WriteFile("image.krd", bytes);
    }
    static std::vector<std::uint8_t> Bytes(const sim::Image& image) {
        return std::vector<std::uint8_t>(image.begin(), image.end());
    }
};

TEST_F(InfoCommand, DescribesASoundImage) {
    std::string out;
    ASSERT_EQ(Run(Write(Bytes(sim::GenerateImage({}))), out), 0);
    EXPECT_NE(out.find("Формат данных: 55AA0502, принят"), std::string::npos);
    EXPECT_NE(out.find("Метка окончания копии прибора считывания: есть"), std::string::npos);
    EXPECT_NE(out.find("Статистика за весь период:"), std::string::npos);
    EXPECT_EQ(out.find("НЕВЕРНА"), std::string::npos) << out;
    EXPECT_NE(out.find("Новейшие циклы"), std::string::npos);
    // Under any locale with the decimal comma appendix 6 prints.
    EXPECT_TRUE(std::regex_search(out, std::regex("Kp [0-9]+,[0-9]{3} "))) << out;
}

TEST_F(InfoCommand, RefusesWhatIsNotAnImage) {
    std::string out;
    for (auto variant : {sim::ImageVariant::Truncated, sim::ImageVariant::Extended}) {
        const auto image = sim::GenerateImage({.variant = variant});
        EXPECT_EQ(Run(Write(sim::ImageFileBytes(image, variant)), out), 2);
        EXPECT_TRUE(out.empty());
    }
    EXPECT_EQ(Run(m_dir / "absent.krd", out), 2);
    EXPECT_EQ(Run(m_dir, out), 2);  // a folder is no image either
    const auto wrong = sim::GenerateImage({.variant = sim::ImageVariant::WrongSignature});
    EXPECT_EQ(Run(Write(Bytes(wrong)), out), 3);
}

TEST_F(InfoCommand, ReportsDamagedBlocks) {
    std::string out;
    const auto image = sim::GenerateImage({.variant = sim::ImageVariant::BadChecksums});
    ASSERT_EQ(Run(Write(Bytes(image)), out), 0);
    std::size_t damaged = 0;
    for (std::size_t at = 0; (at = out.find("НЕВЕРНА", at)) != std::string::npos; ++at) ++damaged;
    EXPECT_EQ(damaged, 4u);
}

// Writes the checksums of every block and record anew, so that mutated
// contents get past the checks and reach the formatters.
void Reseal(std::vector<std::uint8_t>& image) {
    const auto seal = [&](std::uint32_t address, std::size_t dataSize) {
        const std::size_t at = map::Offset(address);
        image[at + dataSize] = Crc8(std::span(image).subspan(at, dataSize));
    };
    seal(map::kStatisticsTotalAddress, 84);
    seal(map::kStatisticsSinceAddress, 84);
    seal(map::kCountersTotalAddress, 208);
    seal(map::kCountersSinceAddress, 208);
    for (std::uint32_t i = 0; i < map::kCycleRecordCount; ++i) {
        seal(map::kLastCyclesAddress + i * map::kCycleRecordSize, 32);
        seal(map::kProtectionCyclesAddress + i * map::kCycleRecordSize, 32);
    }
    for (std::uint32_t i = 0; i < map::kHourRecordCount; ++i) {
        seal(map::kHourListAddress + i * map::kHourRecordSize, 29);
    }
}

// Every valid cycle's line keeps its column widths, whatever the record holds.
void ExpectCycleColumns(std::vector<std::uint8_t> bytes) {
    test::ImageReader reader;
    reader.image = std::move(bytes);
    for (std::uint32_t address : {map::kLastCyclesAddress, map::kProtectionCyclesAddress}) {
        CycleList list;
        ASSERT_TRUE(ReadCycleList(reader, address, list, nullptr));
        for (const CycleRecord& record : list) {
            if (!record.IsValid()) continue;
            const std::string line = CycleLine(record);
            const std::string columns = line.substr(0, line.rfind("\t\t "));
            ASSERT_EQ(columns.size(), 18u + 2 + 8 + 5 + 12 + 4 + 5 + 2 + 9) << columns;
        }
    }
    auto hours = std::make_unique<HourList>();
    ASSERT_TRUE(ReadHourList(reader, *hours, nullptr));
    for (std::size_t i = 1; i < hours->size(); ++i) {
        if ((*hours)[i].IsValid()) {
            ASSERT_LE((*hours)[i - 1].Time(), (*hours)[i].Time());
        }
    }
}

// The data check of appendix 6, in the same words: a sound image has nothing
// to say; one whose whole-life cycle counters sit at their limit gets no
// class at all, and the projection agrees its noun with its number.
TEST_F(InfoCommand, SaysWhatDataCannotBeTrue) {
    std::string out;
    std::vector<std::uint8_t> image = Bytes(sim::GenerateImage({}));
    ASSERT_EQ(Run(Write(image), out), 0);
    EXPECT_NE(out.find("Достоверность данных: противоречий не найдено\n"), std::string::npos);
    // Seed 3 projects 38 134 cycles: a number ending in 4 takes "цикла".
    ASSERT_EQ(Run(Write(Bytes(sim::GenerateImage({.seed = 3}))), out), 0);
    EXPECT_NE(out.find("на нормативный срок 38\u00A0134 цикла, "), std::string::npos) << out;

    const std::size_t counts = map::Offset(map::kStatisticsTotalAddress) + 4;
    std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(counts), 16, 0xFF);
    Reseal(image);
    ASSERT_EQ(Run(Write(image), out), 0);
    EXPECT_NE(out.find("  фактический режим: вывод не может быть сделан: данные недостоверны "
                       "(счётчики циклов на пределе 65 535)\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Достоверность данных:\n  За весь срок службы: счётчики циклов на "
                       "пределе 65 535 в диапазонах «до 25 %»"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("группа А8"), std::string::npos) << out;
}

TEST_F(InfoCommand, NoImageCrashesTheDecodersOrTheCommand) {
    std::mt19937 random(20261207);
    const auto byte = [&] { return static_cast<std::uint8_t>(random()); };
    const auto base = sim::GenerateImage({});
    std::string out;
    for (int round = 0; round < 1200; ++round) {
        std::vector<std::uint8_t> image = Bytes(base);
        switch (round % 4) {
            case 0:  // bytes flipped here and there
                for (int k = 0; k < 200; ++k) image[random() % image.size()] = byte();
                break;
            case 1:  // whole stretches overwritten with 00, FF or noise
                for (int k = 0; k < 8; ++k) {
                    const std::size_t at = random() % image.size();
                    const std::size_t length =
                        std::min<std::size_t>(random() % 4096, image.size() - at);
                    const int fill = static_cast<int>(random() % 3);
                    for (std::size_t i = at; i < at + length; ++i) {
                        image[i] = fill == 0 ? 0 : fill == 1 ? 0xFF : byte();
                    }
                }
                break;
            default:  // pure noise
                for (auto& b : image) b = byte();
                break;
        }
        if (round % 2 == 0) Reseal(image);
        if (round % 3 != 0) std::copy_n(base.begin(), 4, image.begin());  // keep the signature
        ExpectCycleColumns(image);
        const int code = Run(Write(image), out);
        ASSERT_TRUE(code == 0 || code == 3) << "round " << round;
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace zorvek
