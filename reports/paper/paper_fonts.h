#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <deque>

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
    // How far the text advances; a long workbook repeats its cell texts, so
    // each is measured once per font.
    double Advance(PaperFont face, double sizePt, bool bold, const QString& text);

  private:
    struct Entry {
        PaperFont face;
        int twips;
        bool bold;
        QFont font;
        QFontMetricsF metrics;
        QHash<QString, double> advances;
    };
    Entry& Find(PaperFont face, double sizePt, bool bold);

    std::deque<Entry> m_entries;  // handed out by reference: never moved
};

}  // namespace zorvek
