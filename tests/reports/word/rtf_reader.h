#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zorvek::test {

// What a reader of an RTF document sees, gathered by a small reader of its
// own so that the tests do not trust the writer's view of RTF.
struct ReadPicture {
    int width = 0;  // \picw, \pich
    int height = 0;
    int goalWidth = 0;  // \picwgoal, \pichgoal
    int goalHeight = 0;
    std::size_t bytes = 0;  // decoded from the hex text
};

struct ReadRun {
    std::string text;  // UTF-8; \tab as '\t', \line as '\n'
    bool bold = false;
    int halfPoints = 24;
};

struct ReadParagraph {
    std::vector<ReadRun> runs;
    std::vector<ReadPicture> pictures;
    char align = 'l';  // 'l', 'c', 'r', 'j'
    bool inTable = false;
    bool keepWithNext = false;  // \keepn
    int hangingIndent = 0;      // twips: \li n with \fi -n
    std::string Text() const;
};

struct ReadTable {
    std::vector<std::vector<std::string>> rows;  // cell texts, paragraphs joined by '\n'
    std::vector<bool> header;                    // per row: \trhdr, repeated on every page
    std::vector<bool> kept;                      // per row: every paragraph keeps with the next
};

struct ReadDocument {
    bool ok = false;  // groups balanced and the document closed
    // Every \cell and \row ends a paragraph marked as in a table; office
    // suites lose text that breaks this.
    bool tablesSound = true;
    std::vector<ReadParagraph> paragraphs;  // body paragraphs outside and inside tables
    std::vector<ReadTable> tables;
    int paperWidth = 0;
    int paperHeight = 0;
    int marginTop = 0;
    bool landscape = false;

    // The body as text: paragraphs end with '\n', cells with '|', rows with
    // "|\n" (the row's last cell mark and a line end).
    std::string flat;

    // The run holding `text` (UTF-8); nullptr when no single run does.
    const ReadRun* RunWith(std::string_view text) const;
};

ReadDocument ReadRtf(std::string_view rtf);

}  // namespace zorvek::test
