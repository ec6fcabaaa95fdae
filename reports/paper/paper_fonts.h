#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QList>
#include <QString>
#include <deque>
#include <unordered_map>

#include "reports/common/paper_document.h"

namespace zorvek {

// The fonts documents are set in, from the files that travel with the
// program, so that a page breaks where it breaks on every machine. Sizes
// are in twips: the layout's unit.
class PaperFonts {
  public:
    PaperFonts();

    const QFont& Font(PaperFont face, double sizePt, bool bold);
    const QFontMetricsF& Metrics(PaperFont face, double sizePt, bool bold);
    // One line of text shaped in the font: its glyphs, placed from the line's
    // top left corner, and how far it advances. A long workbook repeats its
    // cell texts, so each is shaped once per font.
    struct Shaped {
        QList<QGlyphRun> glyphs;
        double advance = 0;
    };
    const Shaped& Shape(PaperFont face, double sizePt, bool bold, const QString& text);

  private:
    struct Entry {
        PaperFont face;
        int twips;
        bool bold;
        QFont font;
        QFontMetricsF metrics;
        std::unordered_map<QString, Shaped> shaped;  // node-based: references stay valid
    };
    Entry& Find(PaperFont face, double sizePt, bool bold);

    std::deque<Entry> m_entries;  // handed out by reference: never moved
};

}  // namespace zorvek
