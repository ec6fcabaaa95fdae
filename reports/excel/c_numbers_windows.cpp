#include <locale.h>

#include <string>

#include "reports/excel/c_numbers.h"

namespace zorvek {
namespace {

struct Saved {
    int threadMode = 0;
    std::string numeric;
};

}  // namespace

// The C runtime's locale made this thread's own for the scope, so the rest
// of the program keeps its own.
CNumbersScope::CNumbersScope() {
    auto* saved = new Saved;
    saved->threadMode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    if (const char* numeric = setlocale(LC_NUMERIC, nullptr)) saved->numeric = numeric;
    setlocale(LC_NUMERIC, "C");
    m_saved = saved;
}

CNumbersScope::~CNumbersScope() {
    auto* saved = static_cast<Saved*>(m_saved);
    if (!saved->numeric.empty()) setlocale(LC_NUMERIC, saved->numeric.c_str());
    _configthreadlocale(saved->threadMode);
    delete saved;
}

}  // namespace zorvek
