#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace zorvek {

// What ties a page of a document to the read-out it was made from: the
// program that made it, the image's fingerprint (as the archive files the
// image) and when the image was read.
struct DocumentStamp {
    std::string program;      // cp1251, "ЗОРВЕК 0.1"
    std::string fingerprint;  // 16 lower-case hex digits
    std::optional<std::chrono::sys_seconds> readAt;
};

// The stamp as the documents' footers print it, one line of cp1251:
// "ЗОРВЕК 0.1 · образ 0123456789abcdef · считано 10.12.2026 14:29" (local
// time). The fingerprint stands as one piece, so that a search for it finds
// the document.
std::string StampLine(const DocumentStamp& stamp);

}  // namespace zorvek
