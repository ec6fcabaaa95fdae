#pragma once

#include <clocale>
#include <string>

namespace zorvek::test {

// While it lives, the C library's locale is a Russian desktop's, with its
// decimal comma, as Qt leaves it in every program that has a Qt
// application. `Active()` is false where the machine has no such locale.
class DecimalCommaLocale {
  public:
    DecimalCommaLocale() : m_saved(std::setlocale(LC_ALL, nullptr)) {
        m_active = std::setlocale(LC_ALL, "ru_RU.UTF-8") != nullptr;
    }
    ~DecimalCommaLocale() { std::setlocale(LC_ALL, m_saved.c_str()); }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    bool Active() const { return m_active; }

  private:
    std::string m_saved;
    bool m_active = false;
};

}  // namespace zorvek::test
