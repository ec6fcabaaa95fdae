#include <locale.h>

#include "reports/excel/c_numbers.h"

namespace zorvek {

// A locale of this thread alone: the rest of the program, and its other
// threads, keep theirs.
CNumbersScope::CNumbersScope() {
    const locale_t current = duplocale(uselocale(static_cast<locale_t>(nullptr)));
    if (current == static_cast<locale_t>(nullptr)) return;
    const locale_t numbers = newlocale(LC_NUMERIC_MASK, "C", current);
    if (numbers == static_cast<locale_t>(nullptr)) {
        freelocale(current);
        return;
    }
    m_numbers = numbers;
    m_saved = uselocale(numbers);
}

CNumbersScope::~CNumbersScope() {
    if (m_numbers == nullptr) return;
    uselocale(static_cast<locale_t>(m_saved));
    freelocale(static_cast<locale_t>(m_numbers));
}

}  // namespace zorvek
