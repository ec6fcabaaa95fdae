#include <cstdlib>

#include "tests/support/scoped_environment.h"

namespace zorvek::test {

ScopedEnvironment::ScopedEnvironment(std::string name, const std::string& value)
    : m_name(std::move(name)) {
    if (const char* old = std::getenv(m_name.c_str())) m_saved = old;
    ::setenv(m_name.c_str(), value.c_str(), 1);
}

ScopedEnvironment::~ScopedEnvironment() {
    if (m_saved) {
        ::setenv(m_name.c_str(), m_saved->c_str(), 1);
    } else {
        ::unsetenv(m_name.c_str());
    }
}

}  // namespace zorvek::test
