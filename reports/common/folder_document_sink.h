#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "model/format.h"
#include "reports/common/document_sink.h"

namespace zorvek {

// The window program's sink: every document gets a new readable name in the
// documents folder, "<title> <yyyy-mm-dd hh-mm-ss>.<extension>", with " (2)",
// " (3)" ... added while the name is taken, and is opened once written. When
// it cannot be opened the file simply stays in the folder.
class FolderDocumentSink final : public DocumentSink {
  public:
    // Hands a written file to the desktop's default application; false when
    // none could be started.
    using Opener = std::function<bool(const std::filesystem::path&)>;

    // The folder is made when the first document needs it.
    FolderDocumentSink(std::filesystem::path folder, Opener opener,
                       const Clock& clock = SystemClock());

    // Where the folder cannot be made, the name the document would have had
    // there: writing it fails.
    std::filesystem::path PathFor(std::string_view title, std::string_view extension) override;
    void Finished(const std::filesystem::path& path, const TransferResult& written) override;

  private:
    std::filesystem::path m_folder;
    Opener m_opener;
    const Clock& m_clock;
};

}  // namespace zorvek
