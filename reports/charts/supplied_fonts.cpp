#include "reports/charts/supplied_fonts.h"

#include <QFontDatabase>
#include <QString>
#include <system_error>

#include "access/program_location.h"

namespace zorvek {

std::filesystem::path SuppliedFontsFolder() { return DataDirectory() / "fonts"; }

int RegisterSuppliedFonts(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error) return 0;
    int added = 0;
    for (const auto& entry : entries) {
        if (entry.path().extension() != ".ttf") continue;
        const QString file = QString::fromStdU16String(entry.path().u16string());
        if (QFontDatabase::addApplicationFont(file) >= 0) ++added;
    }
    return added;
}

}  // namespace zorvek
