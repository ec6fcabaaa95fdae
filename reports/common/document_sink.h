#pragma once

#include <filesystem>
#include <string_view>

#include "model/transfer_result.h"

namespace zorvek {

// Takes finished documents from the word-processor and spreadsheet layers.
// The window program files them under a unique name in its documents folder
// and opens them; the batch command puts them where the user asked.
class DocumentSink {
  public:
    virtual ~DocumentSink() = default;
    // Where the document about to be shown is to be written. `title` is a
    // short UTF-8 name of the document ("Форма 1"), `extension` is "rtf" or
    // "xlsx". The writer fills a temporary file beside it and renames it.
    virtual std::filesystem::path PathFor(std::string_view title, std::string_view extension) = 0;
    // The document is complete at `path`, or could not be written there
    // (`written` says why).
    virtual void Finished(const std::filesystem::path& path, const TransferResult& written) = 0;
    // False when documents of this extension ("rtf", "xlsx") are not wanted:
    // the layer then writes no file and the document counts as shown.
    virtual bool Keeps(std::string_view /*extension*/) const { return true; }
};

}  // namespace zorvek
