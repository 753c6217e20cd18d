// Text copied from a spreadsheet or read from a text file, as rows of
// fields. The same rules serve the clipboard and .csv/.txt import, so data
// arrive alike whichever way they come:
//   - lines end with CR LF, LF or a lone CR; a last line end adds no row, and
//     rows at the end with nothing in them are dropped;
//   - the separator is the first of tab, semicolon and comma that occurs
//     outside quotes; with none of them, runs of spaces separate, and also
//     when every comma sits in a space-separated number ("1,5 2,5"); a text
//     with none of these is one column;
//   - a field in double quotes may hold separators and line ends, and "" in
//     it stands for one quote; spaces around a field are dropped;
//   - where the separator is not a comma, a number written with a decimal
//     comma ("1,5") gets a point instead ("1.5");
//   - a first row with something in it and nothing that is a number is a
//     header and is skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvanta::grid {

enum class Separator { None, Tab, Semicolon, Comma, Spaces };

struct DelimitedText {
    Separator separator = Separator::None;
    bool headerSkipped = false;
    // Fields as read, trimmed and with decimal commas made points.
    std::vector<std::vector<std::string>> rows;
    // The widest row, not counting empty fields at a row's end.
    int columns = 0;
};

// UTF-8 in; a byte order mark at the start is skipped.
DelimitedText ParseDelimitedText(std::string_view text);

// True when text is a number as the grid's cells read it (after the
// decimal-comma rule has been applied).
bool IsNumberField(std::string_view text);

// A field as a spreadsheet's clipboard writes it: in quotes, with quotes
// doubled, when it holds a quote, the separator or a line end.
std::string QuoteField(std::string_view field, char separator);

} // namespace korvanta::grid
