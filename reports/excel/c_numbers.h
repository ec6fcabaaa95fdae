#pragma once

namespace zorvek {

// While it lives, the C library formats and reads numbers on this thread
// with a "." whatever the process's locale says. The spreadsheet library
// prints every width, margin and number of the workbook's XML with
// snprintf, and Qt sets the process's locale from the desktop: under a
// decimal comma the workbook would say width="12,5", which no spreadsheet
// reads. One implementation per OS.
class CNumbersScope {
  public:
    CNumbersScope();
    ~CNumbersScope();
    CNumbersScope(const CNumbersScope&) = delete;
    CNumbersScope& operator=(const CNumbersScope&) = delete;

  private:
    void* m_numbers = nullptr;
    void* m_saved = nullptr;
};

}  // namespace zorvek
