#pragma once

#include <filesystem>

namespace zorvek {

// The histograms ask for this family first, then for Arial: the program
// ships it, so the pictures have the same letters and widths on every system.
inline constexpr char kChartFontFamily[] = "Liberation Sans";

// The folder of the fonts the program ships, beside its other supplied files.
std::filesystem::path SuppliedFontsFolder();

// Makes every .ttf font in `folder` known to Qt for this process; the
// application object must exist. A missing folder or a damaged file is
// skipped: the system's own fonts remain. Returns how many were added.
int RegisterSuppliedFonts(const std::filesystem::path& folder);

}  // namespace zorvek
