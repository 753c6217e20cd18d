// The XML scanner the .xlsx reader uses, against expat on the same
// documents: the same elements, attributes and text (adjacent text pieces
// joined), whatever sizes the document arrives in; and the same refusals.
#include "excel/xml_scan.h"

#include <expat.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace korvanta::excel::detail {
namespace {

// Events as one text: "<name a=v>", "</name>", "'text'".
class Recorder : public XmlHandler {
public:
    std::string events;

    void Start(std::string_view name, const char** attributes) override
    {
        Flush();
        events += "<" + std::string(name);
        for (const char** a = attributes; a && *a; a += 2) events += " " + std::string(a[0]) + "=" + a[1];
        events += ">";
    }
    void End(std::string_view name) override
    {
        Flush();
        events += "</" + std::string(name) + ">";
    }
    void Text(std::string_view t) override { text_ += t; }
    void Flush()
    {
        if (!text_.empty()) events += "'" + text_ + "'";
        text_.clear();
    }

private:
    std::string text_;
};

// Names reach the handler without their prefix, as with the scanner.
std::string_view Local(const char* name)
{
    std::string_view n(name);
    const auto colon = n.rfind(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

// expat's view; empty when it refuses the document.
std::string WithExpat(const std::string& xml)
{
    Recorder r;
    std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreate(nullptr), XML_ParserFree);
    XML_SetUserData(parser.get(), &r);
    XML_SetElementHandler(
        parser.get(), [](void* d, const char* n, const char** a) { static_cast<Recorder*>(d)->Start(Local(n), a); },
        [](void* d, const char* n) { static_cast<Recorder*>(d)->End(Local(n)); });
    XML_SetCharacterDataHandler(parser.get(), [](void* d, const char* t, int n) {
        static_cast<Recorder*>(d)->Text(std::string_view(t, static_cast<std::size_t>(n)));
    });
    if (XML_Parse(parser.get(), xml.data(), static_cast<int>(xml.size()), XML_TRUE) != XML_STATUS_OK) return {};
    r.Flush();
    return r.events;
}

// The scanner's view with the document fed in pieces of `piece` bytes;
// empty when it refuses the document.
// tellPlain: each piece comes with PlainXmlText's word on it, as the package
// gives it; otherwise with none, and the scanner checks every character.
std::string WithScanner(const std::string& xml, std::size_t piece, XmlScanner::Result* result = nullptr,
                        bool tellPlain = false)
{
    Recorder r;
    XmlScanner scanner(r);
    XmlScanner::Result last = XmlScanner::Result::More;
    for (std::size_t at = 0; last == XmlScanner::Result::More; at += piece) {
        const std::size_t n = at < xml.size() ? std::min(piece, xml.size() - at) : 0;
        const char* data = xml.data() + std::min(at, xml.size());
        last = scanner.Feed(data, n, at + n >= xml.size(), tellPlain && PlainXmlText(data, n));
    }
    if (result) *result = last;
    if (last != XmlScanner::Result::Done) return {};
    r.Flush();
    return r.events;
}

const char* const kWellFormed[] = {
    "<a/>",
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<x:ws xmlns:x=\"u\"><x:c r=\"A1\" t='s'/></x:ws>",
    "\xEF\xBB\xBF<a><b  k = \"1\"\tj='2'\n/>text</a>",
    "<a>&lt;&gt;&amp;&quot;&apos;&#65;&#x4E2D;&#x1F600;</a>",
    "<a v=\"x&amp;y&#10;z\ttab\r\nline\">one\r\ntwo\rthree</a>",
    "<a><!-- a comment -> --><![CDATA[<not> &markup;]]>after<?pi data?></a>",
    "<a>中文 text 😀</a>  \n",
    "<root><row r=\"1\"><c r=\"A1\" s=\"0\" t=\"n\"><v>1.5</v></c></row><row/></root>",
    "<?xml version='1.0' encoding='utf-8'?><a/>",
};

const char* const kMalformed[] = {
    "",
    "<a>",
    "<a></b>",
    "<a><b></a></b>",
    "<a/><b/>",
    "text<a/>",
    "<a/>text",
    "<a>&unknown;</a>",
    "<a>&#0;</a>",
    "<a>&#xD800;</a>",
    "<a>& b</a>",
    "<a b=\"1\"c=\"2\"/>",
    "<a b=1/>",
    "<a b=\"<\"/>",
    "<a b/>",
    "<a>\x01</a>",
    "<a>\xC3\x28</a>",
    "<a>\xFF</a>",
    "<a>\xED\xA0\x80</a>",
    "<a>\xE0\x80\x80</a>",
    "<a><!-- unclosed </a>",
    "<a><![CDATA[ unclosed </a>",
    "< a/>",
};

TEST(XmlScan, ReadsWhatExpatReadsInPiecesOfAnySize)
{
    for (const char* doc : kWellFormed) {
        const std::string xml = doc;
        const std::string expected = WithExpat(xml);
        ASSERT_FALSE(expected.empty()) << "expat refuses " << xml;
        for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, xml.size() + 1})
            for (bool tellPlain : {false, true})
                EXPECT_EQ(WithScanner(xml, piece, nullptr, tellPlain), expected)
                    << xml << " in pieces of " << piece << (tellPlain ? ", told which are plain" : "");
    }
}

TEST(XmlScan, RefusesWhatExpatRefuses)
{
    for (const char* doc : kMalformed) {
        const std::string xml = doc;
        EXPECT_EQ(WithExpat(xml), "") << "expat reads " << xml;
        for (std::size_t piece : {std::size_t{1}, std::size_t{5}, xml.size() + 1}) {
            for (bool tellPlain : {false, true}) {
                XmlScanner::Result result{};
                EXPECT_EQ(WithScanner(xml, piece, &result, tellPlain), "") << xml << " in pieces of " << piece;
                EXPECT_EQ(result, XmlScanner::Result::Corrupt) << xml;
            }
        }
    }
    // expat reads a DTD's entities; a part has no DTD, and the scanner refuses one.
    XmlScanner::Result result{};
    WithScanner("<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", 4, &result);
    EXPECT_EQ(result, XmlScanner::Result::Corrupt);
}

TEST(XmlScan, LongTextCrossesPiecesWithoutSplittingCharactersOrReferences)
{
    // Past the size at which text goes to the handler in parts, with
    // multi-byte characters, references and CR LF at every offset.
    std::string body;
    while (body.size() < 300000) body += "ab中😀&amp;&#x4E2D;\r\nx";
    const std::string xml = "<t>" + body + "</t>";
    const std::string expected = WithExpat(xml);
    ASSERT_FALSE(expected.empty());
    for (std::size_t piece : {std::size_t{4093}, std::size_t{65536}, std::size_t{100003}})
        EXPECT_TRUE(WithScanner(xml, piece) == expected) << "pieces of " << piece; // too long to print
}

TEST(XmlScan, LeavesOtherEncodingsToExpatAndStopsWhenTheHandlerIsDone)
{
    XmlScanner::Result result{};
    WithScanner(std::string("\xFF\xFE<\0a\0/\0>\0", 10), 4, &result);
    EXPECT_EQ(result, XmlScanner::Result::OtherEncoding);
    WithScanner("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>", 8, &result);
    EXPECT_EQ(result, XmlScanner::Result::OtherEncoding);

    struct StopAtB : Recorder {
        void Start(std::string_view name, const char** a) override
        {
            Recorder::Start(name, a);
            if (name == "b") outcome = Outcome::Done;
        }
    } handler;
    XmlScanner scanner(handler);
    EXPECT_EQ(scanner.Feed("<a><b/><c>", 10, false), XmlScanner::Result::Done);
    EXPECT_EQ(handler.events, "<a><b>");
}

TEST(XmlScan, MarkupThatNeverEndsIsTooLarge)
{
    Recorder r;
    XmlScanner scanner(r);
    const std::string start = "<a b=\"";
    const std::string filler(1 << 20, 'x');
    XmlScanner::Result result = scanner.Feed(start.data(), start.size(), false);
    for (int i = 0; i < 20 && result == XmlScanner::Result::More; ++i)
        result = scanner.Feed(filler.data(), filler.size(), false);
    EXPECT_EQ(result, XmlScanner::Result::TooLarge);
}

} // namespace
} // namespace korvanta::excel::detail
