#pragma once

#include <filesystem>
#include <string_view>

#include "reports/common/document_sink.h"

namespace zorvek {

// The batch command's sink: the document goes exactly where the caller said
// before the build, whatever its title; an existing file there is replaced.
// Nothing is opened.
class FixedPathDocumentSink final : public DocumentSink {
  public:
    FixedPathDocumentSink() = default;
    explicit FixedPathDocumentSink(std::filesystem::path path) : m_path(std::move(path)) {}

    void SetPath(std::filesystem::path path) { m_path = std::move(path); }

    // The path set last; empty (the write then fails) when none was set.
    std::filesystem::path PathFor(std::string_view, std::string_view) override { return m_path; }
    void Finished(const std::filesystem::path&, const TransferResult&) override {}

  private:
    std::filesystem::path m_path;
};

}  // namespace zorvek
