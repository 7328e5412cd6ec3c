// The pass before parsing that refuses files nesting too deep or giving
// one element too many attributes.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "document/DocumentLoad.h"

#include <tinyxml.h>

using namespace testsupport;
using document::kMaxAttributes;
using document::kMaxNesting;

namespace {

std::string nested(int depth, bool closed = true)
{
    std::string out;
    for (int i = 0; i < depth; ++i)
        out += "<a>";
    if (closed)
        for (int i = 0; i < depth; ++i)
            out += "</a>";
    return out;
}

std::string attributes(int count, const char* quote = "\"")
{
    std::string out = "<r";
    for (int i = 0; i < count; ++i)
        out += " a" + std::to_string(i) + "=" + quote + "v" + quote;
    return out + "/>";
}

bool within(const std::string& content)
{
    return document::withinDocumentBounds(content);
}

TEST(DocumentBounds, NestingAndAttributes)
{
    const struct {
        const char* what;
        std::string content;
        bool accepted;
    } cases[] = {
        {"256 levels", nested(kMaxNesting), true},
        {"257 levels", nested(kMaxNesting + 1), false},
        {"257 unclosed start tags", nested(kMaxNesting + 1, false), false},
        {"siblings do not nest", std::string(100000, ' ') + "<r>" + [] {
             std::string s;
             for (int i = 0; i < 1000; ++i)
                 s += "<a><b/></a>";
             return s;
         }() + "</r>", true},
        {"self-closing tags do not nest", "<r>" + std::string(3000, ' ') + [] {
             std::string s;
             for (int i = 0; i < 1000; ++i)
                 s += "<a x='1'/><b />";
             return s;
         }() + "</r>", true},
        {"256 attributes", attributes(kMaxAttributes), true},
        {"257 attributes", attributes(kMaxAttributes + 1), false},
        {"257 unquoted attributes", attributes(kMaxAttributes + 1, ""), false},
        {"markup inside comments, CDATA and quotes is not counted",
         "<r a='<a><a>' b=\"=>\"><!-- " + nested(300, false) + " --><![CDATA[" + nested(300, false) + "]]></r>",
         true},
        {"declarations and instructions", "<?xml version='1.0'?><!DOCTYPE r><?pi x?>" + nested(10), true},
        {"a stray quote in an unquoted value does not hide tags",
         "<r a=x\"" + nested(kMaxNesting + 1, false), false},
        {"'<' inside a tag counts as a start tag", "<r " + std::string(kMaxNesting, '<'), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(within(c.content), c.accepted) << c.what;
}

TEST(DocumentLoad, FilesThatCannotBeLoaded)
{
    TiXmlDocument document;
    EXPECT_FALSE(document::loadDocument("/nonexistent/file.xml", document));
    TempFile file("<r/>");
    std::string dir = file.path().substr(0, file.path().rfind('/'));
    EXPECT_FALSE(document::loadDocument(dir.c_str(), document));
    EXPECT_TRUE(document::loadDocument(file.path().c_str(), document));

    const struct {
        const char* what;
        std::string content;
        bool loaded;
    } cases[] = {
        {"empty", "", false},
        {"white space only", " \n ", false},
        {"malformed", "<r><a></r>", false},
        {"text ends at a NUL byte", std::string("<r/>\0<<<", 8), true},
        {"a NUL byte inside the root", std::string("<r>\0</r>", 8), false},
        {"CR LF and lone CR", "<r>\r\n<a>x\ry</a>\r\n</r>", true},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF<r/>", true},
    };
    for (const auto& c : cases) {
        TempFile input(c.content);
        TiXmlDocument parsed;
        EXPECT_EQ(document::loadDocument(input.path().c_str(), parsed), c.loaded) << c.what;
    }
}

TEST(DocumentLoad, NewlinesReachTheTextAsTinyXmlLoadFileGivesThem)
{
    TempFile input("<r><a>x\r\ny\rz</a><![CDATA[p\r\nq]]></r>");
    TiXmlDocument ours, theirs;
    ASSERT_TRUE(document::loadDocument(input.path().c_str(), ours));
    ASSERT_TRUE(theirs.LoadFile(input.path().c_str()));
    TiXmlPrinter a, b;
    ours.Accept(&a);
    theirs.Accept(&b);
    EXPECT_EQ(a.Str(), b.Str());
}

} // namespace

namespace {

// Collects every element of the document, in document order.
void elementsOf(const TiXmlElement* element, std::vector<const TiXmlElement*>& out)
{
    for (; element; element = element->NextSiblingElement()) {
        out.push_back(element);
        elementsOf(element->FirstChildElement(), out);
    }
}

TEST(DocumentLoad, PositionsAreCountedAsTinyXmlCountsThem)
{
    // Tabs, characters of two to four bytes, the byte order mark and the
    // marks TinyXML takes as zero-width, with and without a declaration
    // that names UTF-8 (without one, TinyXML counts bytes).
    const std::string body = "<D>\n\t<a>x</a>\t <b>\xE7\xAC\xAC\xC3\xA9</b><c/>\n"
                             "  \t\t<d>\xF0\x9F\x98\x80\xEF\xBF\xBE\xEF\xBB\xBFz</d>\xEF\xBF\xBF<e t=\"\t\"/>\n"
                             "<f>\xE5\xB1\x82</f>\t\t\t<g/></D>\n";
    const std::string texts[] = {
        body,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body,
        "<?xml version=\"1.0\"?>" + body,
        "\xEF\xBB\xBF" + body,
        "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n" + body,
    };
    for (const std::string& text : texts) {
        TiXmlDocument document;
        document.Parse(text.c_str());
        ASSERT_FALSE(document.Error()) << document.ErrorDesc();
        std::vector<const TiXmlElement*> elements;
        elementsOf(document.RootElement(), elements);
        std::vector<std::size_t> starts;
        for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1))
            if (text[at + 1] != '/' && text[at + 1] != '?')
                starts.push_back(at);
        ASSERT_EQ(starts.size(), elements.size());
        for (std::size_t i = 0; i < starts.size(); ++i) {
            document::TextPosition at = document::positionOf(text, starts[i]);
            EXPECT_EQ(at.row, elements[i]->Row()) << elements[i]->Value() << " in text " << &text - texts;
            EXPECT_EQ(at.column, elements[i]->Column()) << elements[i]->Value() << " in text " << &text - texts;
        }
    }
}

TEST(DocumentLoad, ErrorsSayWhyAndWhere)
{
    using Kind = document::LoadError::Kind;
    const struct {
        std::string content;
        Kind kind;
        int row;
        int column;
    } cases[] = {
        {"", Kind::Empty, 0, 0},
        {" \n\t ", Kind::Empty, 0, 0},
        {std::string("\xFE\xFF\0<\0a\0/\0>", 10), Kind::WideEncoding, 0, 0},
        {std::string("<\0a\0/\0>\0", 8), Kind::WideEncoding, 0, 0},
        {"<a>\n  <b></c>\n</a>", Kind::NotWellFormed, 2, 6},
        {"<a>\n\t" + nested(kMaxNesting) + "</a>", Kind::TooDeep, 2, 5 + 3 * (kMaxNesting - 1)},
        {"<a>\n\xE5\xB1\x82" + attributes(kMaxAttributes + 1) + "</a>", Kind::TooManyAttributes, 2, 4},
    };
    for (const auto& c : cases) {
        TempFile file(c.content);
        for (auto positions : {document::Positions::Untracked, document::Positions::Tracked}) {
            TiXmlDocument document;
            document::LoadError error;
            EXPECT_FALSE(document::loadDocument(file.path().c_str(), document, &error, positions));
            EXPECT_EQ(error.kind, c.kind) << c.content;
            EXPECT_EQ(error.row, c.row) << c.content;
            EXPECT_EQ(error.column, c.column) << c.content;
        }
    }
    document::LoadError missing;
    TiXmlDocument document;
    EXPECT_FALSE(document::loadDocument("/nonexistent/file.xml", document, &missing));
    EXPECT_EQ(missing.kind, Kind::CannotRead);
    EXPECT_EQ(missing.systemError, ENOENT);
}

} // namespace
