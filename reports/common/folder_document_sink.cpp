#include "reports/common/folder_document_sink.h"

#include <cstdio>
#include <string>
#include <system_error>

#include "reports/common/utf8_path.h"

namespace zorvek {
namespace {

std::string Stamp(const LocalDateTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d-%02d-%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

}  // namespace

FolderDocumentSink::FolderDocumentSink(std::filesystem::path folder, Opener opener,
                                       const Clock& clock)
    : m_folder(std::move(folder)), m_opener(std::move(opener)), m_clock(clock) {}

std::filesystem::path FolderDocumentSink::PathFor(std::string_view title,
                                                  std::string_view extension) {
    // A folder that cannot be made still names the document: writing it
    // there fails and says why, under the name the user looks for.
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    const std::string stem = std::string(title) + ' ' + Stamp(m_clock.Now());
    const std::string suffix = '.' + std::string(extension);
    std::filesystem::path candidate = m_folder / PathOfUtf8(stem + suffix);
    for (int copy = 2; std::filesystem::exists(candidate, error); ++copy) {
        candidate = m_folder / PathOfUtf8(stem + " (" + std::to_string(copy) + ')' + suffix);
    }
    return candidate;
}

void FolderDocumentSink::Finished(const std::filesystem::path& path,
                                  const TransferResult& written) {
    if (written && m_opener) m_opener(path);
}

}  // namespace zorvek
