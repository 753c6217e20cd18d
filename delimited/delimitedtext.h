// Text copied from a spreadsheet or read from a text file, as rows of
// fields. The same rules serve the clipboard and .csv/.txt import, so data
// arrive alike whichever way they come:
//   - lines end with CR LF, LF or a lone CR; a last line end adds no row, and
//     rows at the end with nothing in them are dropped;
//   - the separator is the one that splits the lines consistently
//     (separator.h); a text that none splits is one column;
//   - a field in double quotes may hold separators and line ends, and "" in
//     it stands for one quote; spaces around a field are dropped;
//   - full-width digits, point and signs become ASCII ("１２．５" is 12.5);
//   - commas inside numbers are read column by column as group separators
//     or decimal commas (commanumbers.h);
//   - a first row with something in it and nothing that is a number is a
//     header and is skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvanta::delimited {

enum class Separator { None, Tab, Semicolon, Comma, Spaces };

struct DelimitedText {
    Separator separator = Separator::None;
    bool headerSkipped = false;
    // Fields as read, trimmed, with the numbers made plain.
    std::vector<std::vector<std::string>> rows;
    // The widest row, not counting empty fields at a row's end.
    int columns = 0;
    // Numbers such as "2,500" kept as written because their column reads
    // commas both ways (commanumbers.h).
    int unreadCommaNumbers = 0;
};

// UTF-8 in; a byte order mark at the start is skipped.
DelimitedText ParseDelimitedText(std::string_view text);

// One column of cells taken in from elsewhere (an imported worksheet's
// texts), made plain by the same number rules as a column of a text file.
// Returns the count of unread comma numbers.
int ReadNumberColumn(std::vector<std::string>& column);

// How many fields are numbers with a comma still in them: after the rules
// above, the ones kept as written.
int CountCommaNumbers(const std::vector<std::string>& column);

// True when text is a number as the grid's cells read it.
bool IsNumberField(std::string_view text);

// A field as a spreadsheet's clipboard writes it: in quotes, with quotes
// doubled, when it holds a quote, the separator or a line end.
std::string QuoteField(std::string_view field, char separator);

} // namespace korvanta::delimited
