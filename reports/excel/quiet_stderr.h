#pragma once

namespace zorvek {

// While it lives, what the process writes to its standard error goes
// nowhere. The spreadsheet library prints its own English lines there when
// it cannot write a workbook, and has no switch to stop it; the failure
// reaches the user as a result, in the program's words. Standard error is
// back as it was afterwards. One implementation per OS.
class QuietStderr {
  public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

  private:
    int m_saved = -1;
};

}  // namespace zorvek
