// Any text as an RTF template: parsed, every bookmark looked up and every
// line walked from the body's start, as the documents fill templates.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "reports/word/rtf_template.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvek;
    const auto parsed = RtfTemplate::Parse(std::string(reinterpret_cast<const char*>(data), size));
    if (!parsed) return 0;
    for (const char* name : {"Tip", "info01", "T11", "chciklov", ""}) parsed->FindBookmark(name);
    // Each line starts past the one above, or the documents' line walk
    // would never end.
    for (std::optional<TemplateSpot> spot = parsed->Start(); spot;) {
        const std::optional<TemplateSpot> below = parsed->LineBelow(spot->offset);
        if (below && below->offset <= spot->offset) std::abort();
        spot = below;
    }
    return 0;
}
