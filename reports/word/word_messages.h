#pragma once

#include <string>
#include <string_view>

namespace zorvek {

// The two messages the word-processor layers show themselves (cp1251).
// `name` is the bare template file name, cp1251.
std::string MissingTemplateMessage(std::string_view name);
std::string DamagedTemplateMessage();

}  // namespace zorvek
