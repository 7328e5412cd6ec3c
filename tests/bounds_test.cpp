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
