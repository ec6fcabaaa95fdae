#include <cstdlib>

#include "tests/support/scoped_environment.h"

namespace zorvek::test {

ScopedEnvironment::ScopedEnvironment(std::string name, const std::string& value)
    : m_name(std::move(name)) {
    if (const char* old = std::getenv(m_name.c_str())) m_saved = old;
    _putenv_s(m_name.c_str(), value.c_str());
}

ScopedEnvironment::~ScopedEnvironment() {
    // An empty value removes the variable.
    _putenv_s(m_name.c_str(), m_saved ? m_saved->c_str() : "");
}

}  // namespace zorvek::test
