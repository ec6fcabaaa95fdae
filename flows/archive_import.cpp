#include "flows/archive_import.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "flows/archive_flow.h"
#include "flows/failure_text.h"
#include "model/binary_file.h"
#include "model/cp1251.h"
#include "model/format_check.h"
#include "model/memory_map.h"

namespace zorvek {
namespace {

std::string Text(const char* utf8) { return Cp1251FromUtf8(utf8); }

std::string SystemReason(const std::error_code& error) { return Cp1251FromUtf8(error.message()); }

// The files to look at, in name order within each folder, and what could
// not be looked into.
struct Walk {
    std::vector<std::filesystem::path> files;
    std::vector<ImportSkip> skipped;
    // Folders already walked: a link back up the tree is walked once.
    std::set<std::filesystem::path> folders;
};

void Collect(const std::filesystem::path& path, Walk& walk) {
    auto& files = walk.files;
    auto& skipped = walk.skipped;
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) {
        skipped.push_back({path, SystemReason(error)});
        return;
    }
    if (std::filesystem::is_regular_file(status)) {
        files.push_back(path);
        return;
    }
    if (!std::filesystem::is_directory(status)) {
        skipped.push_back({path, Text("не файл и не папка")});
        return;
    }
    if (!walk.folders.insert(std::filesystem::canonical(path, error)).second || error) return;
    std::vector<std::filesystem::path> entries;
    for (std::filesystem::directory_iterator entry(path, error), end; !error && entry != end;
         entry.increment(error)) {
        entries.push_back(entry->path());
    }
    if (error) {
        skipped.push_back({path, SystemReason(error)});
        return;
    }
    std::sort(entries.begin(), entries.end());
    for (const auto& entry : entries) Collect(entry, walk);
}

// The file's bytes when it may be an image; otherwise why not.
bool ReadImage(const std::filesystem::path& file, archive::Image& image, std::string& whyNot) {
    BinaryFile opened;
    if (const TransferResult result = opened.Open(file); !result) {
        whyNot = FailureText(result);
        return false;
    }
    const auto size = opened.Size();
    if (!size || *size != memory_map::kImageSize) {
        whyNot = size ? Cp1251FromUtf8("размер " + std::to_string(*size) +
                                       " байт, а образ накопителя — 65536 байт")
                      : Text("размер файла не узнать");
        return false;
    }
    image.resize(memory_map::kImageSize);
    if (const TransferResult result = opened.ReadAt(0, image.data(), image.size()); !result) {
        whyNot = FailureText(result);
        return false;
    }
    return true;
}

}  // namespace

ImportSummary ImportImages(const std::vector<std::filesystem::path>& paths,
                           archive::ReadoutArchive& archive, const ImportProgress& progress) {
    ImportSummary summary;
    Walk walk;
    for (const auto& path : paths) Collect(path, walk);
    const std::vector<std::filesystem::path>& files = walk.files;
    summary.skipped = std::move(walk.skipped);
    const int total = static_cast<int>(files.size());
    if (progress.progress) progress.progress(0, total);
    for (int done = 0; done < total; ++done) {
        if (progress.cancelled && progress.cancelled()) {
            summary.cancelled = true;
            break;
        }
        const std::filesystem::path& file = files[static_cast<std::size_t>(done)];
        archive::NewReadout readout;
        std::string whyNot;
        if (!ReadImage(file, readout.image, whyNot)) {
            summary.skipped.push_back({file, whyNot});
        } else {
            const ReadTime readAt = ReadTimeOfFile(readout.image, file);
            readout.source = archive::ReadoutSource::File;
            readout.readAt = readAt.at;
            readout.readAtSource = readAt.source;
            readout.program = ProgramVersionText();
            const auto added = archive.Add(readout);
            if (added.status.error == archive::ArchiveError::NotAnImage) {
                summary.skipped.push_back(
                    {file, Text("не образ накопителя: другой формат данных")});
            } else if (!added) {
                summary.status = added.status;
                summary.stoppedAt = file;
                break;
            } else if (added.value.alreadyStored) {
                ++summary.alreadyStored;
            } else {
                ++summary.added;
                if (added.value.flags.recorderChanged || added.value.flags.countersBack)
                    ++summary.flagged;
            }
        }
        if (progress.progress) progress.progress(done + 1, total);
    }
    return summary;
}

std::string ImportSummaryText(const ImportSummary& summary) {
    return Cp1251FromUtf8("добавлено " + std::to_string(summary.added) + ", уже были " +
                          std::to_string(summary.alreadyStored) + ", пропущено " +
                          std::to_string(summary.skipped.size()));
}

}  // namespace zorvek
