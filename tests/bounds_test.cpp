// The pass before parsing that refuses files nesting too deep or giving
// one element too many attributes.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "document/DocumentBounds.h"

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
    TempFile file(content);
    return document::withinDocumentBounds(file.path().c_str());
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

TEST(DocumentBounds, UnreadableFiles)
{
    EXPECT_FALSE(document::withinDocumentBounds("/nonexistent/file.xml"));
    TempFile file("x");
    std::string dir = file.path().substr(0, file.path().rfind('/'));
    EXPECT_FALSE(document::withinDocumentBounds(dir.c_str()));
}

} // namespace
