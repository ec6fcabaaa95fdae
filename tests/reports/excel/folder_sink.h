#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "reports/common/document_sink.h"

namespace zorvek::test {

// Files each document as "<title>.<extension>" in a folder and remembers
// what it was told.
class FolderSink final : public DocumentSink {
  public:
    explicit FolderSink(const std::filesystem::path& folder) : m_folder(folder) {}

    std::filesystem::path PathFor(std::string_view title, std::string_view extension) override {
        return m_folder / (std::string(title) + "." + std::string(extension));
    }
    void Finished(const std::filesystem::path& path, const TransferResult& written) override {
        finished.emplace_back(path, written.Succeeded());
        results.push_back(written);
    }

    std::vector<std::pair<std::filesystem::path, bool>> finished;
    std::vector<TransferResult> results;

  private:
    const std::filesystem::path& m_folder;
};

}  // namespace zorvek::test
