// The pass before parsing that refuses files nesting too deep or giving
// one element too many attributes.
#include <cstring>
#include <iterator>
#include <random>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "document/DocumentLoad.h"
#include "fuzz/ParseOracle.h"

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

std::string repeat(int times, const std::string& piece)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

// The verdict of the trace on a text, checked against what TinyXML itself
// builds from it: refused exactly when TinyXML's tree breaks a bound.
document::ParseTrace::Bound traced(const std::string& content)
{
    document::DocumentText text(content);
    document::ParseTrace trace = document::traceParse(text);
    std::string why = oracle::disagreement(text, trace, oracle::parseWithTinyXml(text));
    EXPECT_EQ(why, "") << content.substr(0, 200);
    return trace.broken;
}

using Bound = document::ParseTrace::Bound;
const std::string kDeep = nested(kMaxNesting + 1);
const std::string kDeepOpen = nested(kMaxNesting + 1, false);

TEST(ParseTrace, NestingAndAttributesAsTinyXmlBuildsThem)
{
    const struct {
        const char* what;
        std::string content;
        Bound broken;
    } cases[] = {
        {"256 levels", nested(kMaxNesting), Bound::None},
        {"257 levels", kDeep, Bound::Nesting},
        {"257 unclosed start tags", kDeepOpen, Bound::Nesting},
        {"siblings do not nest", "<r>" + repeat(1000, "<a><b/></a>") + "</r>", Bound::None},
        {"self-closing tags do not nest", "<r>" + repeat(1000, "<a x='1'/><b />") + "</r>", Bound::None},
        {"256 attributes", attributes(kMaxAttributes), Bound::None},
        {"257 attributes", attributes(kMaxAttributes + 1), Bound::Attributes},
        {"257 unquoted attributes", attributes(kMaxAttributes + 1, ""), Bound::Attributes},
        {"a repeated attribute ends the parse before the 257th", "<r a0='v'" + attributes(kMaxAttributes + 1).substr(2),
         Bound::None},
        {"markup inside comments, CDATA and quotes",
         "<r a='<a><a>' b=\"=>\"><!-- " + kDeepOpen + " --><![CDATA[" + kDeepOpen + "]]></r>", Bound::None},
        {"a DOCTYPE and an instruction", "<?xml version='1.0'?><!DOCTYPE r><?pi x?>" + nested(10), Bound::None},
        // TinyXML reads a declaration's version, encoding and standalone
        // with their quotes: a '>' inside them does not end it.
        {"a declaration's quoted '>' before a comment's start",
         "<?xml version='>' encoding='<!--'?>" + kDeep + "<!-- -->", Bound::Nesting},
        {"the same in capitals", "<?XML VERSION=\">\" ENCODING=\"<!--\"?>" + kDeep + "-->", Bound::Nesting},
        {"a standalone value with '>'", "<?xml standalone='>'<![CDATA['?>" + kDeep + "]]>", Bound::Nesting},
        {"a declaration inside an element", "<r><?xml version='>' x='<!--' ?>" + kDeepOpen + "-->", Bound::Nesting},
        {"a declaration that never ends reads to its first bare '>'",
         "<?xml version='1.0'" + nested(kMaxNesting + 2, false), Bound::Nesting},
        {"a declaration whose attribute fails ends the document", "<?xml version ?>" + kDeep, Bound::None},
        {"other attributes of a declaration are not quoted", "<r><?xml x='>'" + kDeepOpen, Bound::Nesting},
        {"a DOCTYPE ends at its first '>', quotes or not", "<!DOCTYPE r \"a>" + kDeep, Bound::Nesting},
        {"a processing instruction ends at its first '>'", "<r><?pi '>'?>" + kDeepOpen, Bound::Nesting},
        // In UTF-8 a lead byte takes the bytes it announces, quote and all.
        {"a lead byte that swallows the closing quote",
         "<?xml version='1.0'?><r a=\"\xC3\" b=\">" + kDeepOpen + "\"/>", Bound::Nesting},
        {"a lead byte that swallows a '<' in text",
         "<?xml version='1.0'?><r>" + repeat(kMaxNesting + 1, "<a>\xE3</a>") + "</r>", Bound::Nesting},
        {"the same bytes as single bytes", "<?xml encoding='GBK'?><r a=\"\xC3\" b=\">" + kDeepOpen + "\"/>",
         Bound::None},
        {"a byte order mark makes it UTF-8", "\xEF\xBB\xBF<r a=\"\xC3\" b=\">" + kDeepOpen + "\"/>", Bound::Nesting},
        {"an encoding given by a character reference",
         "<?xml encoding='&#x55;TF-8'?><r a=\"\xC3\" b=\">" + kDeepOpen + "\"/>", Bound::Nesting},
        // A numeric reference runs to the next ';', over any markup.
        {"a reference that hides end tags", "<r>" + repeat(kMaxNesting + 1, "<a>&#x</a>x;") + "</r>",
         Bound::Nesting},
        {"a decimal reference that hides start tags", "<r>&#" + kDeepOpen + "#1;</r>", Bound::None},
        {"a reference in a value that hides its quote", "<r a='&#x'x;'>" + kDeepOpen + "'/>", Bound::Nesting},
        {"the same, hiding the nesting in the next value", "<r a='&#x'x;' b='>" + kDeepOpen + "'/>", Bound::None},
        {"TinyXML stops at a wrong end tag", "<r></x>" + kDeep, Bound::None},
        {"an end tag that only starts like the open one", "<ab></a>" + kDeep, Bound::None},
        {"TinyXML stops at text after the root", "<r/>text" + kDeep, Bound::None},
        {"'<' and a space is not a tag", "<r>" + repeat(kMaxNesting + 1, "< a>") + "</r>", Bound::None},
        {"'<' inside a tag ends the parse", "<r " + std::string(kMaxNesting, '<'), Bound::None},
        {"a stray quote in an unquoted value ends the parse", "<r a=x\"" + kDeepOpen, Bound::None},
        {"names from an underscore or a byte over 126", "<_r>" + repeat(kMaxNesting, "<\x80>"), Bound::Nesting},
        {"a byte order mark between '<' and the name", "\xEF\xBB\xBF" + repeat(kMaxNesting + 1, "<\xEF\xBB\xBF a>"),
         Bound::Nesting},
        {"a lead byte at the very end of a value", "<?xml version='1.0'?><r a='\xF0", Bound::None},
        {"an unfinished CDATA", "<r><![CDATA[" + kDeepOpen, Bound::None},
        {"an unfinished comment", "<r><!--" + kDeepOpen, Bound::None},
        {"elements after an unfinished comment at the top", "<!--" + kDeep, Bound::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(traced(c.content), c.broken) << c.what;
}

// The two holes that let files past the guard of an earlier version, as
// whole files: the sample behind a declaration whose quoted value hides
// the nesting after it, and declarations that end far away or never, in
// front of deep nesting (whose refusal must not parse what it refuses).
// TinyXML's own parse of deep nesting takes time quadratic in the depth,
// so these nest 2,000 levels; hostile_test sends deeper ones to hostsim.
TEST(ParseTrace, HostileDeclarationsAroundTheSample)
{
    const std::string sample = readFile(std::string(SAMPLES_DIR) + "/sample.xml");
    const std::string body = sample.substr(sample.find("?>") + 2);
    const std::string deep = nested(2000, false);
    const struct {
        std::string content;
        Bound broken;
    } files[] = {
        {"<?xml version=\"1.0\" encoding='utf-8' standalone='>'<!--'?>" + body + deep + "-->", Bound::Nesting},
        {"<?xml version='1.0'" + deep + "?>", Bound::Nesting},
        // The version's value runs to the end: TinyXML reads nothing else.
        {"<?xml version=\"1.0" + deep, Bound::None},
    };
    for (const auto& file : files) {
        EXPECT_EQ(traced(file.content), file.broken);
        // Loaded as a file: refused before TinyXML parses anything.
        TempFile input(file.content);
        TiXmlDocument document;
        document::LoadError error;
        EXPECT_EQ(document::loadDocument(input.path().c_str(), document, &error), file.broken == Bound::None);
        EXPECT_EQ(error.kind, file.broken == Bound::None ? document::LoadError::Kind::None
                                                         : document::LoadError::Kind::TooDeep);
    }
}

// Whether TinyXML fails, and where its top level stops reading, are
// foreseen too: a trace that gets them right follows the parser's path.
TEST(ParseTrace, ForeseesTinyXmlsErrorsAndWhereItStops)
{
    constexpr std::size_t npos = document::ParseTrace::npos;
    const struct {
        std::string content;
        bool fails;
        std::size_t unreadFrom;
    } cases[] = {
        {"", true, npos},
        {"  \n", true, npos},
        {"text", true, npos},
        {"<r/>", false, npos},
        {"<r/>  after", false, 6},
        {"<!DOCTYPE r [ <!ENTITY e 'x'> ]><r/>", false, 30},
        {"<?xml version='1.0'?>", false, npos},
        {"<r>", true, npos},
        {"<r a='1' a='2'/>", true, npos},
        {"<r>x</r >", false, npos},
        {"<r>&#x;</r>", false, npos},
        {"<r>&#xg;</r>", true, npos},
        {"<r><![CDATA[x]]></r>", false, npos},
        {"<![CDATA[x]]>", false, npos},
    };
    for (const auto& c : cases) {
        document::DocumentText text(c.content);
        document::ParseTrace trace = document::traceParse(text);
        EXPECT_EQ(oracle::disagreement(text, trace, oracle::parseWithTinyXml(text)), "") << c.content;
        EXPECT_EQ(trace.fails, c.fails) << c.content;
        if (!c.fails) {
            EXPECT_EQ(trace.unreadFrom, c.unreadFrom) << c.content;
        }
    }
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
            document::TextPosition at =
                document::positionOf(text, starts[i], document::traceParse(document::DocumentText(text)).charactersFrom);
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
        {"\xEF\xBB\xBF \r\n\v\f", Kind::Empty, 0, 0},
        // Anything else is not XML, told where it starts: TinyXML calls
        // a text without markup at its start empty too.
        {"x<?xml version=\"1.0\"?><a/>", Kind::NotXml, 1, 1},
        {"\r\n\r\n  \t x<a/>", Kind::NotXml, 3, 6},
        {std::string("  \0<a/>", 7), Kind::NotXml, 1, 3},
        {std::string("\0", 1), Kind::NotXml, 1, 1},
        {"\x1F\x8B\x08\x00", Kind::NotXml, 1, 1},
        {"\x89PNG\r\n\x1A\n", Kind::NotXml, 1, 1},
        {"\xEF\xBB\xBFtext", Kind::NotXml, 1, 1},
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

// The references TinyXML drops, checked against TinyXML itself: deleting
// the '&' at each offset the trace gives and resolving what is left as XML
// does must give the text (and the attribute value) TinyXML delivers.
std::string resolved(const std::string& raw)
{
    static const std::pair<const char*, char> kNamed[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < raw.size();) {
        bool done = false;
        for (const auto& [name, character] : kNamed)
            if (raw.compare(i, std::strlen(name), name) == 0) {
                out += character;
                i += std::strlen(name);
                done = true;
                break;
            }
        if (!done && raw.compare(i, 2, "&#") == 0) {
            std::size_t end = raw.find(';', i);
            bool hex = raw.compare(i, 3, "&#x") == 0;
            // The digits run back from the ';' to the last 'x' (or '#'); without
            // a declaration TinyXML keeps the low byte; no digits is 0.
            std::size_t from = raw.find_last_of(hex ? 'x' : '#', end) + 1;
            std::string digits = raw.substr(from, end - from);
            out += static_cast<char>(digits.empty() ? 0 : std::stoul(digits, nullptr, hex ? 16 : 10));
            i = end + 1;
            done = true;
        }
        if (!done)
            out += raw[i++];
    }
    return out;
}

TEST(ParseTrace, DroppedReferencesAreWhereTinyXmlDropsThem)
{
    const char* const kPieces[] = {"&", "&amp;", "&lt;", "&gt;", "&quot;", "&apos;", "&amp", "&nbsp;", "&#65;",
                                   "&#x42;", "&AMP;", "&&", "a", "b;", "amp;", "lt", "#", "x", "7"};
    std::mt19937 random(4711);
    int dropped = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string raw = "t";
        for (int n = 1 + static_cast<int>(random() % 8); n > 0; --n)
            raw += kPieces[random() % std::size(kPieces)];
        raw += "t";
        for (bool inAttribute : {false, true}) {
            std::string prefix = inAttribute ? "<r v=\"" : "<r>";
            std::string xml = prefix + raw + (inAttribute ? "\"/>" : "</r>");
            document::DocumentText text(xml);
            std::vector<std::size_t> droppedAt;
            document::ParseTrace trace = document::traceParse(text, &droppedAt);
            TiXmlDocument parsed;
            parsed.Parse(xml.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
            // A numeric reference without digits fails the parse.
            ASSERT_EQ(trace.fails, parsed.Error()) << xml;
            if (parsed.Error())
                continue;
            ASSERT_EQ(trace.referencesDropped, droppedAt.size());
            std::string kept = raw;
            for (auto at = droppedAt.rbegin(); at != droppedAt.rend(); ++at)
                kept.erase(*at - prefix.size(), 1);
            const char* delivered =
                inAttribute ? parsed.RootElement()->Attribute("v") : parsed.RootElement()->GetText();
            // TinyXML's texts are C strings: they end at a NUL from "&#0;".
            EXPECT_EQ(std::string(resolved(kept).c_str()), delivered ? delivered : "") << xml;
            dropped += static_cast<int>(droppedAt.size());
        }
    }
    EXPECT_GT(dropped, 1000); // the pieces drop often enough to matter
}

} // namespace
