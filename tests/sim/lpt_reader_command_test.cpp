#include "sim/lpt_reader_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "sim/command_line.h"
#include "sim/image_generator.h"

namespace zorvek::sim {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Case {
    const char* name;
    ImageVariant variant;
    std::vector<std::string> options;
    int status;
    const char* says;  // a fragment of the report
    const char* mark;  // the new-data mark before and after
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class LptReaderCommand : public testing::TestWithParam<Case> {};

// The whole LPT load of the program, through the twin, in real time.
TEST_P(LptReaderCommand, RunsTheProgramsLoadAndSavesOnlyAWholeImage) {
    const Case& c = GetParam();
    const fs::path dir = fs::temp_directory_path() / ("zorvek-lpt-reader-" + std::string(c.name));
    fs::remove_all(dir);
    fs::create_directories(dir);
    ImageOptions options;
    options.seed = 5;
    options.variant = c.variant;
    const Image image = GenerateImage(options);
    const fs::path imageFile = dir / "reader.krd";
    std::ofstream(imageFile, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    const fs::path copy = dir / "copy.krd";

    std::vector<std::string> args = {imageFile.string(), "--out", copy.string()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const std::vector<std::string_view> views(args.begin(), args.end());
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunLptReaderCommand(views, out, err), c.status) << err.str();
    EXPECT_NE(out.str().find(c.says), std::string::npos) << out.str();
    EXPECT_NE(out.str().find(std::string("new-data mark at 0x30005: ") + c.mark), std::string::npos)
        << out.str();
    if (c.status == 0) {
        // The copy is the image as the reader held it, its mark still set.
        EXPECT_EQ(ReadFile(copy), std::vector<std::uint8_t>(image.begin(), image.end()));
    } else {
        EXPECT_FALSE(fs::exists(copy));
    }
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(
    Loads, LptReaderCommand,
    testing::Values(
        Case{"ReaderCopy", ImageVariant::ReaderCopy, {}, 0, "loaded", "123 -> 0"},
        Case{"Absent",
             ImageVariant::ReaderCopy,
             {"--absent"},
             kSimFailed,
             "Нет связи с прибором считывания\nПричина: прибор не отвечает",
             "123 -> 123"},
        Case{"NoEndMark", ImageVariant::NoEndMark, {}, kSimFailed, "не до конца", "0 -> 0"},
        // Bytes 17..20 select the upper EEPROM for the whole-image read.
        Case{"NackInTheSave",
             ImageVariant::ReaderCopy,
             {"--nack-at", "18"},
             kSimFailed,
             "Ошибка чтения данных\nПричина: прибор не подтвердил приём",
             "123 -> 123"}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace zorvek::sim
