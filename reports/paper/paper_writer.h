#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "model/transfer_result.h"
#include "reports/common/paper_document.h"

class QPagedPaintDevice;
class QPainter;

namespace zorvek {

class PaperLayoutData;

// A document laid out on its pages, ready to be painted on any paged device:
// the PDF writer, the printer, the preview. Needs the application object of
// the window toolkit (the batch has one without a screen), and the supplied
// fonts registered, so that every machine lays the text out alike.
class PaperLayout {
  public:
    explicit PaperLayout(const PaperDocument& document);
    ~PaperLayout();
    PaperLayout(PaperLayout&&) noexcept;
    PaperLayout& operator=(PaperLayout&&) noexcept;

    int PageCount() const;
    const PaperPage& Page() const;

    // Paints page `index` (0-based) with the painter's unit one twip and the
    // page's top left corner at the origin.
    void PaintPage(QPainter& painter, int index) const;

    // Every page on the device, one after another, each with the page's size
    // and orientation and no margins of the device's own. False when the
    // device cannot be painted on (a printer that failed to start).
    bool Print(QPagedPaintDevice& device) const;

  private:
    std::unique_ptr<PaperLayoutData> m_data;
};

// The document as a PDF file: fonts embedded, text selectable.
std::vector<std::uint8_t> PdfBytes(const PaperDocument& document);

// Writes the PDF to a temporary name beside `path` and renames it; an
// existing file there is replaced only once the new one is complete.
TransferResult WritePdf(const PaperDocument& document, const std::filesystem::path& path);

}  // namespace zorvek
