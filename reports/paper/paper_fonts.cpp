#include "reports/paper/paper_fonts.h"

#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <mutex>

#include "reports/charts/supplied_fonts.h"

namespace zorvek {
namespace {

QString Family(PaperFont face) {
    switch (face) {
        case PaperFont::Mono:
            return QStringLiteral("Liberation Mono");
        case PaperFont::Sans:
            return QStringLiteral("Liberation Sans");
        case PaperFont::Serif:
            break;
    }
    return QStringLiteral("Liberation Serif");
}

}  // namespace

PaperFonts::PaperFonts() {
    static std::once_flag registered;
    std::call_once(registered, [] { RegisterSuppliedFonts(SuppliedFontsFolder()); });
}

PaperFonts::Entry& PaperFonts::Find(PaperFont face, double sizePt, bool bold) {
    const int twips = std::max(20, static_cast<int>(std::lround(sizePt * 20)));
    const auto found = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& entry) {
        return entry.face == face && entry.twips == twips && entry.bold == bold;
    });
    if (found != m_entries.end()) return *found;
    QFont font(Family(face));
    font.setPixelSize(twips);
    font.setBold(bold);
    // Unhinted outlines measure the same on a screen, a printer and in a PDF.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::ForceOutline);
    m_entries.push_back(Entry{face, twips, bold, font, QFontMetricsF(font), {}});
    return m_entries.back();
}

const QFont& PaperFonts::Font(PaperFont face, double sizePt, bool bold) {
    return Find(face, sizePt, bold).font;
}

const QFontMetricsF& PaperFonts::Metrics(PaperFont face, double sizePt, bool bold) {
    return Find(face, sizePt, bold).metrics;
}

const PaperFonts::Shaped& PaperFonts::Shape(PaperFont face, double sizePt, bool bold,
                                            const QString& text) {
    Entry& entry = Find(face, sizePt, bold);
    if (const auto known = entry.shaped.find(text); known != entry.shaped.end()) {
        return known->second;
    }
    QTextLayout layout(text, entry.font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) line.setNumColumns(static_cast<int>(text.size()));
    layout.endLayout();
    Shaped shaped;
    shaped.glyphs = layout.glyphRuns();
    shaped.advance = line.isValid() ? line.naturalTextWidth() : 0.0;
    return entry.shaped.emplace(text, std::move(shaped)).first->second;
}

}  // namespace zorvek
