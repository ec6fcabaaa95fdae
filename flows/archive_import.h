#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "archive/readout_archive.h"

namespace zorvek {

// A file an import passed over, and why (cp1251).
struct ImportSkip {
    std::filesystem::path file;
    std::string reason;
};

// What an import of old dump files did.
struct ImportSummary {
    int added = 0;
    int alreadyStored = 0;
    std::vector<ImportSkip> skipped;
    int flagged = 0;  // of the added, set against an earlier read-out and flagged
    // The archive's failure that stopped the import (the files before it
    // are stored), and the file it stopped at.
    archive::ArchiveStatus status;
    std::filesystem::path stoppedAt;
    bool cancelled = false;

    explicit operator bool() const { return static_cast<bool>(status) && !cancelled; }
};

// What an import is told and asked as it goes: how many files of how many
// are done (the count is known once the folders are walked), and whether
// to stop before the next file.
struct ImportProgress {
    std::function<void(int done, int total)> progress;
    std::function<bool()> cancelled;
};

// Stores every image among `paths` (files, and folders walked down through
// every subfolder, in name order) as read-outs from files, one transaction
// each, dated as ReadTimeOfFile dates them. The same image twice is stored
// once; a file that is no image of the recorder (its size, its data
// format, a file that cannot be read) is passed over with its reason. An
// archive that fails stops the import at that file.
ImportSummary ImportImages(const std::vector<std::filesystem::path>& paths,
                           archive::ReadoutArchive& archive, const ImportProgress& progress = {});

// "добавлено 412, уже были 37, пропущено 5" (cp1251).
std::string ImportSummaryText(const ImportSummary& summary);

}  // namespace zorvek
