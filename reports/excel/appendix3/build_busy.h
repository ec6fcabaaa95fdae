#pragma once

namespace zorvek {

// How many appendix-3 builds the options window has started that have not
// yet finished. The fill command begins one; the build ends it by clearing
// the count. The main window reads it when it closes.
class BuildBusy {
  public:
    void Begin() { ++m_count; }
    void Clear() { m_count = 0; }
    int Count() const { return m_count; }
    bool IsBusy() const { return m_count != 0; }

  private:
    int m_count = 0;
};

}  // namespace zorvek
