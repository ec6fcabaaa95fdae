#include "reports/excel/sheet_view_patch.h"

#include <zip.h>

#include <memory>
#include <string>
#include <string_view>

namespace zorvek {
namespace {

constexpr const char* kSheetEntry = "xl/worksheets/sheet1.xml";
constexpr std::string_view kViews = "<sheetViews>";
constexpr std::string_view kView = "<sheetView";
constexpr std::string_view kViewAttribute = " view=\"";
constexpr std::string_view kPageBreakPreview = " view=\"pageBreakPreview\"";

struct DiscardArchive {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, DiscardArchive>;

bool ReadEntry(zip_t* archive, zip_uint64_t index, std::string& text) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
        return false;
    }
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    if (file == nullptr) return false;
    text.assign(static_cast<std::size_t>(stat.size), '\0');
    const zip_int64_t read = zip_fread(file, text.data(), stat.size);
    zip_fclose(file);
    return read == static_cast<zip_int64_t>(stat.size);
}

}  // namespace

bool SetPageBreakPreview(const std::filesystem::path& xlsx) {
    int openError = 0;
    Archive archive(zip_open(xlsx.string().c_str(), 0, &openError));
    if (!archive) return false;
    const zip_int64_t index = zip_name_locate(archive.get(), kSheetEntry, 0);
    // The source reads this text until the archive is closed.
    std::string xml;
    if (index < 0 || !ReadEntry(archive.get(), static_cast<zip_uint64_t>(index), xml)) return false;

    const std::size_t views = xml.find(kViews);
    if (views == std::string::npos) return false;
    const std::size_t view = xml.find(kView, views + kViews.size());
    const std::size_t viewEnd = xml.find('>', view);
    if (view == std::string::npos || viewEnd == std::string::npos) return false;
    // A view chosen before gives way: an attribute may appear only once.
    const std::size_t earlier = xml.find(kViewAttribute, view);
    if (earlier < viewEnd) {
        const std::size_t valueEnd = xml.find('"', earlier + kViewAttribute.size());
        if (valueEnd == std::string::npos) return false;
        xml.erase(earlier, valueEnd + 1 - earlier);
    }
    xml.insert(view + kView.size(), kPageBreakPreview);

    zip_source_t* source = zip_source_buffer(archive.get(), xml.data(), xml.size(), 0);
    if (source == nullptr) return false;
    if (zip_file_replace(archive.get(), static_cast<zip_uint64_t>(index), source, 0) != 0) {
        zip_source_free(source);
        return false;
    }
    // Stored, not compressed: this libzip ignores the level asked for and
    // compresses hardest, which takes over 100 ms on the sheet of the largest
    // table (1.4 MB of XML) and would double the time of writing it. The
    // file grows by about a megabyte then.
    if (zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_STORE,
                                 0) != 0) {
        return false;
    }
    if (zip_close(archive.get()) != 0) return false;
    archive.release();
    return true;
}

}  // namespace zorvek
