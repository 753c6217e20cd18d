// A streaming XML scanner for the parts of an .xlsx package, several times
// quicker than expat on a large worksheet: it keeps no more state than the
// open elements, decodes only the predefined and numeric references (a
// package part never has a DTD, and one is refused), and hands the elements
// to the same XmlHandler as expat would. It still refuses what would make
// a cell's text wrong: bytes that are not UTF-8, control characters,
// unknown references, mismatched or unclosed elements, text outside the
// root. Parts in another encoding than UTF-8 are left to expat.
#pragma once

#include "excel/package.h"

#include <cstddef>
#include <string>
#include <vector>

namespace korvanta::excel::detail {

class XmlScanner {
public:
    enum class Result {
        More, // give the next bytes
        Done, // the handler has all it wants, or the document ended whole
        Corrupt,
        TooLarge,     // one piece of markup past kMaxTokenBytes
        OtherEncoding // not UTF-8: parse with expat from the start
    };

    // Longest piece of markup (a tag with its attributes, a comment) held
    // while its end has not arrived.
    static constexpr std::size_t kMaxTokenBytes = std::size_t{16} << 20;

    explicit XmlScanner(XmlHandler& handler) : handler_(handler) {}

    // The part's next bytes; last is true with the final (maybe empty) piece.
    // plain says that the caller has found every byte of them to be
    // PlainXmlText: while every piece so far was, the scan checks no
    // character again (a worksheet of numbers is plain throughout).
    Result Feed(const char* data, std::size_t size, bool last, bool plain = false);

private:
    enum class Step { Advanced, NeedMore, Stop };

    Step Markup(char* p, char* end, bool last);
    Step StartTag(char* p, char* end);
    Step EndTag(char* p, char* end);
    Step Text(char* p, char* end, bool last);
    bool DeliverText(const char* p, const char* end);
    bool Declaration(const char* p, const char* end);
    Step Stop(Result r);
    bool HandlerStopped();
    bool Valid(const char* p, const char* end) const;

    XmlHandler& handler_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;  // first unscanned byte of buffer_
    bool started_ = false; // past a byte-order mark and the first token
    bool rootClosed_ = false;
    bool plainSoFar_ = true; // every piece fed so far was plain
    std::size_t depth_ = 0;
    std::vector<std::string> open_; // names of the open elements; the first depth_ are live
    std::vector<const char*> attributes_;
    std::string decoded_;
    Result result_ = Result::More;
};

// Whether every byte is ASCII that XML allows as it stands: no byte at or
// above 0x80, no control character but tab, line feed and carriage return.
bool PlainXmlText(const char* data, std::size_t size);

} // namespace korvanta::excel::detail
