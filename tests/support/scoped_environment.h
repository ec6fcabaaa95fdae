#pragma once

#include <optional>
#include <string>

namespace zorvek::test {

// Sets an environment variable of this process for a test's scope and gives
// back what it held before (or removes it). One implementation per OS.
class ScopedEnvironment {
  public:
    ScopedEnvironment(std::string name, const std::string& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    std::string m_name;
    std::optional<std::string> m_saved;
};

}  // namespace zorvek::test
