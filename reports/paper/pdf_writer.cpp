#include <QBuffer>
#include <QPdfWriter>

#include "model/atomic_file.h"
#include "reports/paper/paper_writer.h"

namespace zorvek {
namespace {

// Fine enough that placing text to a twip costs nothing.
constexpr int kPdfResolution = 1440;

}  // namespace

std::vector<std::uint8_t> PdfBytes(const PaperDocument& document) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setCreator(QStringLiteral("ЗОРВЕК"));
        writer.setTitle(QString::fromStdString(document.title));
        if (!PaperLayout(document).Print(writer)) return {};
    }
    return {bytes.begin(), bytes.end()};
}

TransferResult WritePdf(const PaperDocument& document, const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = PdfBytes(document);
    if (bytes.empty()) return TransferResult::Fail(TransferError::IoError);
    return WriteFileAtomically(path, bytes);
}

}  // namespace zorvek
