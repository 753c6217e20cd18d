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
//   - a first row with something in it and nothing that is a number looks
//     like a heading; a paste leaves it out, a file keeps it and lets the
//     import preview ask.
// The limits are counted while the text is split, so a text past them is
// refused in time linear in its length and in memory bounded by the limits,
// whatever its shape.
#pragma once

#include <cstddef>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::delimited {

enum class Separator { None, Tab, Semicolon, Comma, Spaces };

// Why a text cannot be taken in. The first six come from splitting it, the
// others from reading a file's bytes (textfile.h).
enum class TextProblem {
    None,
    TooManyRows,      // more rows than TextLimits::rows (empty rows at the end not counted)
    TooManyColumns,   // a row with a field past TextLimits::columns
    TooManyCells,     // more fields in all than TextLimits::cells
    TooMuchText,      // more bytes in all fields than TextLimits::bytes
    CellTooLong,      // a field of more than TextLimits::cellChars characters
    UnclosedQuote,    // a quoted field that runs to the end of the text
    Utf16WithoutMark, // UTF-16 without its byte order mark: which byte order is not known
    NulCharacter,     // a NUL character in the text
    CutCharacter,     // the file ends inside a character (cut short)
    UnknownEncoding,  // bytes that are neither UTF-8 nor GB18030
    Blank,            // nothing but spaces and line ends
    NoNumbers,        // a file in which no field is a number: prose, or a heading alone
    Count,            // how many there are; keep it last
};

// Every problem, for a check that each has its text.
inline constexpr TextProblem kAllTextProblems[] = {
    TextProblem::None,         TextProblem::TooManyRows,  TextProblem::TooManyColumns,  TextProblem::TooManyCells,
    TextProblem::TooMuchText,  TextProblem::CellTooLong,  TextProblem::UnclosedQuote,   TextProblem::Utf16WithoutMark,
    TextProblem::NulCharacter, TextProblem::CutCharacter, TextProblem::UnknownEncoding, TextProblem::Blank,
    TextProblem::NoNumbers,
};
static_assert(std::size(kAllTextProblems) == static_cast<std::size_t>(TextProblem::Count));

// A problem and where it lies: line (from 1) in the text, or the row and
// column (from 1) of the field; limit is the limit that was passed.
struct TextFault {
    TextProblem problem = TextProblem::None;
    std::size_t line = 0;
    std::size_t column = 0;
    std::size_t limit = 0;
    bool operator==(const TextFault&) const = default;
};

struct TextLimits {
    std::size_t rows = std::numeric_limits<std::size_t>::max();
    std::size_t columns = std::numeric_limits<std::size_t>::max();
    std::size_t cells = std::numeric_limits<std::size_t>::max();
    std::size_t cellChars = std::numeric_limits<std::size_t>::max();
    std::size_t bytes = std::numeric_limits<std::size_t>::max(); // of all kept fields together
};

struct DelimitedText {
    Separator separator = Separator::None;
    bool headerSkipped = false;
    // Set when the text was refused; rows is then empty.
    TextFault fault;
    // Fields as read, trimmed, with the numbers made plain.
    std::vector<std::vector<std::string>> rows;
    // The widest row, not counting empty fields at a row's end.
    int columns = 0;
    // Numbers such as "2,500" kept as written because their column reads
    // commas both ways (commanumbers.h).
    int unreadCommaNumbers = 0;
};

enum class Heading { Skip, Keep };

// UTF-8 in; a byte order mark at the start is skipped. A heading row is
// left out (Skip, as a paste does) or kept as row 1 (Keep, as a file is
// read, for the preview to decide).
DelimitedText ParseDelimitedText(std::string_view text, const TextLimits& limits = {}, Heading heading = Heading::Skip);

// True when a row looks like a heading: something in it, and no field a
// number.
bool LooksLikeHeading(const std::vector<std::string>& row);

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
