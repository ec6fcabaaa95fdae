#include "access/dump_file.h"

#include <gtest/gtest.h>

#include "access/image_file.h"
#include "model/memory_map.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/image_reader.h"
#include "tests/support/temp_dir.h"

namespace zorvek {
namespace {

struct RecordingProgress : ProgressSink {
    std::vector<int> positions;
    void SetPosition(int percent) override { positions.push_back(percent); }
};

std::vector<std::uint8_t> Pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
    return bytes;
}

class DumpFileTest : public test::TempDirTest {
  protected:
    DumpFileChoice m_choice;
};

TEST_F(DumpFileTest, AcceptsExactlyTheImageSize) {
    struct Case {
        std::size_t size;
        bool opens;
    };
    for (const Case c :
         {Case{65535, false}, Case{65536, true}, Case{65537, false}, Case{0, false}}) {
        m_choice.craneKind = 0;
        m_choice.startupArgument = WriteFile("image.krd", Pattern(c.size));
        DumpFile file(m_choice);
        EXPECT_EQ(file.DumpOpen().Succeeded(), c.opens) << c.size;
        EXPECT_EQ(file.IsOpen(), c.opens);
    }
}

TEST_F(DumpFileTest, ChoosesTheFileByStartUpState) {
    const auto defaultFile = WriteFile("dannie.krd", Pattern(65536));
    const auto named = WriteFile("named.krd", Pattern(65536));
    const auto chosen = WriteFile("chosen.bin", Pattern(65536));
    std::filesystem::path dialogFolder;
    int dialogRuns = 0;
    m_choice.defaultFile = defaultFile;
    m_choice.startupArgument = named;
    m_choice.dialogFolder = m_dir / "documents";
    m_choice.chooseFile = [&](const std::filesystem::path& folder) {
        dialogFolder = folder;
        ++dialogRuns;
        return std::optional(chosen);
    };
    DumpFile file(m_choice);

    m_choice.freshRead = true;  // after a device load: the default file, once
    m_choice.craneKind = 0;
    ASSERT_TRUE(file.DumpOpen());
    EXPECT_EQ(file.FileName(), defaultFile);
    EXPECT_FALSE(m_choice.freshRead);
    EXPECT_FALSE(file.DumpOpen());  // already open
    ASSERT_TRUE(file.DumpClose());
    EXPECT_TRUE(file.FileName().empty());
    EXPECT_FALSE(file.DumpClose());

    ASSERT_TRUE(file.DumpOpen());  // the command-line file, every time
    EXPECT_EQ(file.FileName(), named);
    file.DumpClose();

    m_choice.craneKind = 1;
    ASSERT_TRUE(file.DumpOpen());
    EXPECT_EQ(file.FileName(), chosen);
    EXPECT_EQ(dialogFolder, m_dir / "documents");
    EXPECT_EQ(dialogRuns, 1);
    file.DumpClose();
    ASSERT_TRUE(file.DumpOpen());  // the dialog comes back where the last file lay
    EXPECT_EQ(dialogFolder, m_dir);
    file.DumpClose();

    m_choice.chooseFile = [](const std::filesystem::path&) {
        return std::optional<std::filesystem::path>();
    };
    EXPECT_FALSE(file.DumpOpen());  // cancelled
    m_choice.startupArgument = m_dir / "missing.krd";
    m_choice.craneKind = 0;
    EXPECT_FALSE(file.DumpOpen());
}

TEST_F(DumpFileTest, ReadsAndWritesWithinTheImage) {
    const auto image = Pattern(65536);
    m_choice.craneKind = 0;
    m_choice.startupArgument = WriteFile("image.krd", image);
    DumpFile file(m_choice);
    ASSERT_TRUE(file.DumpOpen());

    std::uint8_t bytes[5] = {};
    EXPECT_TRUE(file.DumpRead(0xFFFC, bytes, 4, nullptr));
    EXPECT_EQ(bytes[3], image[0xFFFF]);
    EXPECT_FALSE(file.DumpRead(0xFFFC, bytes, 5, nullptr));
    EXPECT_FALSE(file.DumpRead(0, bytes, 0, nullptr));
    EXPECT_FALSE(file.DumpRead(0xFFFFFFFF, bytes, 2, nullptr));  // no wrap-around of the bound

    const std::uint8_t patch[] = {1, 2, 3};
    EXPECT_TRUE(file.DumpWrite(0x100, patch, 3, nullptr));
    EXPECT_TRUE(file.DumpRead(0xFF, bytes, 5, nullptr));
    EXPECT_EQ(std::vector(bytes, bytes + 5),
              (std::vector<std::uint8_t>{image[0xFF], 1, 2, 3, image[0x103]}));
    file.DumpClose();
    EXPECT_EQ(ReadFile(m_choice.startupArgument)[0x101], 2);
}

TEST_F(DumpFileTest, FailuresSayWhatWentWrong) {
    m_choice.craneKind = 0;
    DumpFile file(m_choice);
    std::uint8_t bytes[4] = {};
    EXPECT_EQ(file.DumpRead(0, bytes, 4, nullptr).Error(), TransferError::NotOpen);

    struct Case {
        const char* what;
        std::filesystem::path name;
        TransferError error;
        int systemError;
    };
    const Case cases[] = {
        {"missing", m_dir / "missing.krd", TransferError::Refused, ENOENT},
        {"short", WriteFile("short.krd", Pattern(65535)), TransferError::OutOfRange, EFBIG},
        {"folder", m_dir, TransferError::Refused, EISDIR},
    };
    for (const Case& c : cases) {
        m_choice.startupArgument = c.name;
        const TransferResult opened = file.DumpOpen();
        EXPECT_EQ(opened.Error(), c.error) << c.what;
        EXPECT_EQ(opened.SystemError(), c.systemError) << c.what;
        EXPECT_FALSE(file.IsOpen()) << c.what;
    }

    m_choice.startupArgument = WriteFile("image.krd", Pattern(65536));
    ASSERT_TRUE(file.DumpOpen());
    EXPECT_EQ(file.DumpRead(0xFFFE, bytes, 4, nullptr).Error(), TransferError::OutOfRange);
    // The file shrinks under us (another program truncates it): a short read.
    std::filesystem::resize_file(m_choice.startupArgument, 100);
    EXPECT_EQ(file.DumpRead(0x200, bytes, 4, nullptr).Error(), TransferError::IoError);
}

TEST_F(DumpFileTest, ProgressMovesEvery32BytesAndEndsAtZero) {
    m_choice.craneKind = 0;
    m_choice.startupArgument = WriteFile("image.krd", Pattern(65536));
    DumpFile file(m_choice);
    ASSERT_TRUE(file.DumpOpen());
    std::vector<std::uint8_t> buffer(100);
    RecordingProgress progress;
    ASSERT_TRUE(file.DumpRead(0, buffer.data(), 100, &progress));
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 32, 64, 96, 100, 0}));
}

TEST_F(DumpFileTest, SavedImageReplacesTheFileOnlyWhenComplete) {
    const auto target = WriteFile("dannie.krd", Pattern(65536));
    test::ImageReader source;
    source.image.assign(65536, 0x5A);
    ASSERT_TRUE(SaveImage(source, target, nullptr));
    EXPECT_EQ(ReadFile(target), source.image);

    source.failAll = true;  // the device stops answering mid-way
    EXPECT_FALSE(SaveImage(source, target, nullptr));
    EXPECT_EQ(ReadFile(target), source.image);
}

TEST_F(DumpFileTest, SavedImageKeepsTheFileWhenTheWriteFails) {
    if (!test::FileSizeLimit::Supported()) GTEST_SKIP() << "no file size limit here";
    const auto target = WriteFile("dannie.krd", Pattern(65536));
    test::ImageReader source;
    source.image.assign(65536, 0x11);
    {
        test::FileSizeLimit diskFull(1000);  // the write itself fails part-way
        const ImageSave saved = SaveImage(source, target, nullptr);
        EXPECT_TRUE(saved.read);
        EXPECT_EQ(saved.write.SystemError(), EFBIG);
    }
    EXPECT_EQ(ReadFile(target), Pattern(65536));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 1);  // no temporary
}

}  // namespace
}  // namespace zorvek
