#include "reports/common/document_stamp.h"

#include <charconv>
#include <ctime>

#include "model/cp1251.h"
#include "model/local_time.h"

namespace zorvek {
namespace {

void AppendPadded(std::string& out, int value, int width) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    for (auto length = static_cast<int>(end - digits); length < width; ++length) out += '0';
    out.append(digits, end);
}

std::string LocalMinute(std::chrono::sys_seconds moment) {
    const std::tm local = LocalTime(static_cast<std::time_t>(moment.time_since_epoch().count()));
    std::string text;
    AppendPadded(text, local.tm_mday, 2);
    text += '.';
    AppendPadded(text, local.tm_mon + 1, 2);
    text += '.';
    AppendPadded(text, local.tm_year + 1900, 4);
    text += ' ';
    AppendPadded(text, local.tm_hour, 2);
    text += ':';
    AppendPadded(text, local.tm_min, 2);
    return text;
}

}  // namespace

std::string StampLine(const DocumentStamp& stamp) {
    static const std::string kSeparator = Cp1251FromUtf8(" · ");
    static const std::string kImage = Cp1251FromUtf8("образ ");
    static const std::string kReadAt = Cp1251FromUtf8("считано ");
    static const std::string kUnknown = Cp1251FromUtf8("время считывания неизвестно");
    std::string line = stamp.program + kSeparator + kImage + stamp.fingerprint + kSeparator;
    line += stamp.readAt ? kReadAt + LocalMinute(*stamp.readAt) : kUnknown;
    return line;
}

}  // namespace zorvek
