#include "document/DocumentLoad.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include <tinyxml.h>

#include "platform/Platform.h"
#include "text/Encodings.h"

namespace document {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file, read straight into one buffer with room for the text's
// padding, or false with the reason in `why`. A regular file's size is
// known before reading; a pipe is read until it ends or passes the limit.
bool readFile(const char* path, std::unique_ptr<char[]>& data, std::size_t& size, LoadError& why)
{
    platform::InputFile input = platform::openForReading(path);
    std::unique_ptr<std::FILE, FileCloser> file(input.file);
    if (!file) {
        if (input.error != 0 || input.kind == platform::FileKind::Directory) {
            why.kind = LoadError::Kind::CannotRead;
            why.systemError = input.error != 0 ? input.error : EISDIR;
        } else {
            why.kind = LoadError::Kind::NotAFile;
            why.detail = input.kind == platform::FileKind::Device ? "device" : "other";
        }
        return false;
    }
    // A size that cannot be told (ftell's long is 32 bits on Windows) is
    // found by reading, as a pipe's is.
    std::size_t capacity = 1 << 16;
    if (input.kind == platform::FileKind::Regular && std::fseek(file.get(), 0, SEEK_END) == 0) {
        long length = std::ftell(file.get());
        if (length >= 0 && static_cast<unsigned long>(length) > kMaxFileSize) {
            why.kind = LoadError::Kind::TooLarge;
            return false;
        }
        // One byte more than the size, so that the read sees the end.
        if (length >= 0)
            capacity = static_cast<std::size_t>(length) + 1;
        std::rewind(file.get());
    }
    data.reset(new char[capacity + DocumentText::kPadding]);
    size = 0;
    for (;;) {
        errno = 0;
        size += std::fread(data.get() + size, 1, capacity - size, file.get());
        if (size < capacity) {
            if (std::ferror(file.get())) {
                why.kind = LoadError::Kind::CannotRead;
                why.systemError = errno;
                return false;
            }
            break;
        }
        if (size > kMaxFileSize) {
            why.kind = LoadError::Kind::TooLarge;
            return false;
        }
        // A pipe, or a file that grew: read on, up to one byte past the limit.
        std::size_t larger = std::min(capacity * 2, kMaxFileSize + 1);
        std::unique_ptr<char[]> grown(new char[larger + DocumentText::kPadding]);
        std::memcpy(grown.get(), data.get(), size);
        data = std::move(grown);
        capacity = larger;
    }
    if (size > kMaxFileSize) {
        why.kind = LoadError::Kind::TooLarge;
        return false;
    }
    return true;
}

// UTF-16 and UTF-32 text starts with a byte order mark, or with a '<'
// that has NUL bytes beside it: the encoding it is in ("UTF-16LE"), or ""
// for text of single bytes. Looked at before the text is cut at its first
// NUL.
std::string wideEncoding(const char* bytes, std::size_t size)
{
    auto starts = [&](std::string_view prefix) {
        return size >= prefix.size() && std::memcmp(bytes, prefix.data(), prefix.size()) == 0;
    };
    using namespace std::literals;
    // The longer marks first: UTF-32LE's starts as UTF-16LE's does.
    const std::pair<std::string_view, const char*> kStarts[] = {
        {"\xFF\xFE\0\0"sv, "UTF-32LE"}, {"\0\0\xFE\xFF"sv, "UTF-32BE"}, {"\xFF\xFE"sv, "UTF-16LE"},
        {"\xFE\xFF"sv, "UTF-16BE"},     {"<\0\0\0"sv, "UTF-32LE"},     {"\0\0\0<"sv, "UTF-32BE"},
        {"<\0"sv, "UTF-16LE"},           {"\0<"sv, "UTF-16BE"},
    };
    for (const auto& [prefix, name] : kStarts)
        if (starts(prefix))
            return name;
    return "";
}

LoadError refusal(const DocumentText& text, const ParseTrace& trace)
{
    LoadError error;
    error.kind = trace.broken == ParseTrace::Bound::Nesting ? LoadError::Kind::TooDeep
                                                             : LoadError::Kind::TooManyAttributes;
    TextPosition at = positionOf(text.view(), trace.brokenAt, trace.charactersFrom);
    error.row = at.row;
    error.column = at.column;
    return error;
}

// Bytes that are not UTF-8, in a text read (or, without a declaration,
// meant to be read) as UTF-8; the places of the first kMaxPlaces when
// `places` asks for them.
EncodingFault encodingFault(const DocumentText& text, const ParseTrace& trace, bool places)
{
    EncodingFault fault;
    if (trace.encoding == ParseTrace::Encoding::Other)
        return fault;
    std::vector<std::size_t> offsets;
    std::size_t first = ParseTrace::npos;
    fault.bytes = static_cast<long long>(text::forEachInvalidUtf8(text.view(), [&](std::size_t offset) {
        if (first == ParseTrace::npos)
            first = offset;
        if (places && offsets.size() < EncodingFault::kMaxPlaces)
            offsets.push_back(offset);
    }));
    if (fault.bytes == 0)
        return fault;
    fault.declared = trace.encoding == ParseTrace::Encoding::Utf8;
    fault.likelyGbk = text::fitsGbk(text.view());
    fault.first = positionOf(text.view(), first, trace.charactersFrom);
    if (places)
        fault.places = positionsOf(text.view(), offsets, trace.charactersFrom);
    return fault;
}

// Whether the text ends inside an element: with its tags counted (and
// comments, CDATA sections, declarations and the like stepped over), an
// element is still open at its end, or the text ends inside markup.
bool endsInsideElement(std::string_view text)
{
    long depth = 0;
    std::size_t i = 0;
    for (;;) {
        std::size_t open = text.find('<', i);
        if (open == std::string_view::npos)
            return depth > 0;
        std::string_view rest = text.substr(open);
        const char* close = nullptr;
        if (rest.substr(0, 4) == "<!--")
            close = "-->";
        else if (rest.substr(0, 9) == "<![CDATA[")
            close = "]]>";
        if (close) {
            std::size_t end = text.find(close, open + 4);
            if (end == std::string_view::npos)
                return true;
            i = end + 3;
            continue;
        }
        // The tag's '>', quoted attribute values stepped over.
        std::size_t end = open + 1;
        char quote = 0;
        for (; end < text.size(); ++end) {
            char c = text[end];
            if (quote)
                quote = c == quote ? 0 : quote;
            else if (c == '"' || c == '\'')
                quote = c;
            else if (c == '>')
                break;
        }
        if (end >= text.size())
            return true;
        if (rest[1] == '/')
            --depth;
        else if (rest[1] != '?' && rest[1] != '!' && text[end - 1] != '/')
            ++depth;
        i = end + 1;
    }
}

// Where the text holds something other than white space (and a byte
// order mark) before any markup, or npos when it holds nothing else.
std::size_t firstContent(std::string_view bytes)
{
    std::size_t i = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (i < bytes.size() && bytes[i] != '\0' && std::strchr(" \t\n\r\v\f", bytes[i]))
        ++i;
    return i < bytes.size() ? i : std::string_view::npos;
}

// Where the file holds something other than white space, looked at
// before the text is cut at its first NUL and its line ends made LF: the
// place in the file (npos when it holds nothing else), the bytes shown
// from there, and the CR LF pairs before it, one byte each in the text.
struct Content {
    std::size_t at;
    std::string start;
    std::size_t linesJoined;
};

Content contentOf(std::string_view raw)
{
    Content c{firstContent(raw), {}, 0};
    c.start = std::string(raw.substr(std::min(c.at, raw.size()), LoadError::kShownBytes));
    for (std::size_t i = 0; c.at != std::string_view::npos && i + 1 < c.at; ++i)
        c.linesJoined += raw[i] == '\r' && raw[i + 1] == '\n';
    return c;
}

// What the import may tell of a text loaded: where TinyXML stopped reading
// it, the references it dropped and where (`droppedAt`, with `places`), and
// the text's encoding fault.
void describeLoaded(const DocumentText& text, const ParseTrace& trace, std::vector<std::size_t>& droppedAt,
                    bool places, LoadedText& loaded)
{
    loaded = LoadedText();
    if (trace.unreadFrom != ParseTrace::npos) {
        TextPosition at = positionOf(text.view(), trace.unreadFrom, trace.charactersFrom);
        loaded.unreadRow = at.row;
        loaded.unreadColumn = at.column;
    }
    loaded.referencesDropped = trace.referencesDropped;
    if (droppedAt.size() > EncodingFault::kMaxPlaces)
        droppedAt.resize(EncodingFault::kMaxPlaces);
    loaded.droppedAt = positionsOf(text.view(), droppedAt, trace.charactersFrom);
    loaded.encoding = encodingFault(text, trace, places);
}

// Why a text that TinyXML made no document of is not loaded. TinyXML
// calls a text empty when it holds no markup at all, which is also a text
// that starts with something else: a stray character, a NUL, a compressed
// or binary file. Only white space is empty.
void explainFailure(const DocumentText& text, const ParseTrace& trace, const Content& content,
                    const TiXmlDocument& document, Positions positions, LoadError& why)
{
    if (content.at == std::string_view::npos) {
        why.kind = LoadError::Kind::Empty;
    } else if (text.size() == 0 || document.ErrorId() == TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY) {
        why.kind = LoadError::Kind::NotXml;
        TextPosition at = positionOf(text.view(), std::min(content.at - content.linesJoined, text.size()),
                                     trace.charactersFrom);
        why.row = at.row;
        why.column = at.column;
        why.detail = content.start;
    } else {
        // The place of the error, as TinyXML tells it with its default tab
        // size, when this parse did not keep positions.
        TiXmlDocument located;
        if (positions == Positions::Untracked)
            located.Parse(text.data(), nullptr, TIXML_DEFAULT_ENCODING);
        const TiXmlDocument& parsed = positions == Positions::Untracked ? located : document;
        why.kind = LoadError::Kind::NotWellFormed;
        why.row = parsed.ErrorRow();
        why.column = parsed.ErrorCol();
        why.detail = parsed.ErrorDesc();
        why.endsInsideElement = endsInsideElement(text.view());
        why.encoding = encodingFault(text, trace, false);
    }
}

} // namespace

namespace {

// Every element of a tree in document order, with its level (the root
// being 1), without recursion.
template <class F>
void forEachElement(TiXmlDocument& tree, F&& f)
{
    TiXmlNode* node = tree.FirstChild();
    int depth = 1;
    while (node) {
        if (TiXmlElement* element = node->ToElement())
            f(element, depth);
        if (node->FirstChild()) {
            node = node->FirstChild();
            ++depth;
            continue;
        }
        while (node && !node->NextSibling()) {
            node = node->Parent();
            --depth;
            if (node == &tree)
                node = nullptr;
        }
        if (node)
            node = node->NextSibling();
    }
}

// The text TinyXML parses into the outline's tree: the file up to where
// TinyXML stops reading, with each row written as an empty element of its
// name and the top-level elements after the second left out, then NUL
// bytes.
std::string outlineText(const DocumentText& text, const ParseTrace& trace, const Outline& outline)
{
    const char* bytes = text.data();
    std::size_t end = trace.unreadFrom == ParseTrace::npos ? text.size() : trace.unreadFrom;
    std::string out;
    std::size_t at = 0;
    auto dropped = outline.dropped.begin();
    auto skipDroppedBefore = [&](std::size_t offset) {
        for (; dropped != outline.dropped.end() && dropped->first < offset; ++dropped) {
            out.append(bytes + at, dropped->first - at);
            at = dropped->second;
        }
    };
    for (const OutlineElement& e : outline.elements) {
        if (!e.isRow())
            continue;
        skipDroppedBefore(e.begin);
        out.append(bytes + at, e.begin - at);
        out += '<';
        out.append(bytes + e.begin + e.nameAt, e.nameLength);
        out += "/>";
        at = e.end;
    }
    skipDroppedBefore(end);
    out.append(bytes + at, end - at);
    // NUL bytes after it, as after any text TinyXML parses here: it may
    // step a few bytes past a text's end.
    out.append(DocumentText::kPadding, '\0');
    return out;
}

// Whether the element has the name the outline element has in the text.
bool isNamedAt(const TiXmlElement* element, const DocumentText& text, const OutlineElement& at)
{
    return std::string_view(element->Value()) == text.view().substr(at.begin + at.nameAt, at.nameLength);
}

// Parses the outline into the tree and gives each of its elements its
// outline element (with its line, when positions are kept). False, and
// the tree empty, when TinyXML's tree of the outline is not the one the
// trace recorded, which the trace is made never to allow.
bool parseOutline(TiXmlDocument& tree, const DocumentText& text, const ParseTrace& trace, Outline& outline,
                  Positions positions, std::vector<OutlineElement>& elements)
{
    if (positions == Positions::Tracked) {
        std::vector<std::size_t> offsets;
        offsets.reserve(outline.elements.size());
        for (const OutlineElement& e : outline.elements)
            offsets.push_back(e.begin);
        std::vector<TextPosition> places = positionsOf(text.view(), offsets, trace.charactersFrom);
        for (std::size_t i = 0; i < places.size(); ++i)
            outline.elements[i].line = places[i].row;
    }
    tree.SetTabSize(0);
    // A text without rows or elements left out is its own outline.
    bool cut = !outline.dropped.empty() ||
               std::any_of(outline.elements.begin(), outline.elements.end(), [](const OutlineElement& e) { return e.isRow(); });
    if (cut)
        tree.Parse(outlineText(text, trace, outline).c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    else
        tree.Parse(text.data(), nullptr, TIXML_DEFAULT_ENCODING);
    // The outline's elements, in document order: every element, or the
    // rows alone.
    auto outlined = [&](int depth) { return depth == kRowDepth || (depth < kRowDepth && outline.everyElement); };
    std::size_t count = 0;
    bool matches = !tree.Error();
    if (matches)
        forEachElement(tree, [&](TiXmlElement* element, int depth) {
            if (!outlined(depth))
                return;
            matches = matches && count < outline.elements.size() &&
                      isNamedAt(element, text, outline.elements[count]);
            ++count;
        });
    if (!matches || count != outline.elements.size()) {
        tree.Clear();
        tree.ClearError();
        return false;
    }
    elements = std::move(outline.elements);
    count = 0;
    forEachElement(tree, [&](TiXmlElement* element, int depth) {
        if (outlined(depth))
            element->SetUserData(&elements[count++]);
    });
    return true;
}

} // namespace

// Loads a file into a tree, and with `rows` given, as its outline with the
// text kept for reading the rows.
struct Loader {
    static bool load(const char* path, TiXmlDocument& tree, LoadedDocument* rows, LoadError* error,
                     Positions positions, LoadedText* loaded);
};

bool Loader::load(const char* path, TiXmlDocument& tree, LoadedDocument* rows, LoadError* error,
                  Positions positions, LoadedText* loaded)
{
    LoadError unused;
    LoadError& why = error ? *error : unused;
    why = LoadError();
    if (!path || !*path) {
        why.kind = LoadError::Kind::NoPath;
        return false;
    }
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
    if (!readFile(path, bytes, size, why))
        return false;
    // TinyXML reads only the part before the first NUL: of UTF-16 text
    // without a byte order mark that is one "<", which it takes as a
    // document of nothing.
    if (std::string wide = wideEncoding(bytes.get(), size); !wide.empty()) {
        why.kind = LoadError::Kind::WideEncoding;
        why.detail = wide;
        return false;
    }
    Content content = contentOf(std::string_view(bytes.get(), size));
    DocumentText text(std::move(bytes), size);
    // Only a report reads the places of what it finds.
    bool places = positions == Positions::Tracked && loaded;
    std::vector<std::size_t> droppedAt;
    // Only a report reads the lines of the elements above the rows.
    Outline outline;
    outline.everyElement = positions == Positions::Tracked;
    ParseTrace trace = traceParse(text, places ? &droppedAt : nullptr, rows ? &outline : nullptr);
    if (trace.broken != ParseTrace::Bound::None) {
        why = refusal(text, trace);
        return false;
    }
    if (text.size() > 0) {
        if (rows && !trace.fails && parseOutline(tree, text, trace, outline, positions, rows->m_elements)) {
            rows->m_rowTabSize = positions == Positions::Tracked ? 4 : 0;
            if (loaded)
                describeLoaded(text, trace, droppedAt, places, *loaded);
            rows->m_text = std::move(text);
            return true;
        }
        tree.SetTabSize(positions == Positions::Tracked ? 4 : 0);
        tree.Parse(text.data(), nullptr, TIXML_DEFAULT_ENCODING);
        if (!tree.Error()) {
            if (loaded)
                describeLoaded(text, trace, droppedAt, places, *loaded);
            return true;
        }
    }
    explainFailure(text, trace, content, tree, positions, why);
    return false;
}

bool loadDocument(const char* path, LoadedDocument& document, LoadError* error, Positions positions,
                  LoadedText* loaded, Reading reading)
{
    return Loader::load(path, document.tree(), reading == Reading::RowByRow ? &document : nullptr, error, positions,
                        loaded);
}

bool loadDocument(const char* path, TiXmlDocument& document, LoadError* error, Positions positions,
                  LoadedText* loaded)
{
    return Loader::load(path, document, nullptr, error, positions, loaded);
}

RowTree::RowTree(LoadedDocument* document, TiXmlElement* row) : m_element(row)
{
    const auto* at = static_cast<const OutlineElement*>(row->GetUserData());
    if (!document || !at || !at->isRow())
        return;
    // The row's end is the text's end while TinyXML parses it.
    char& after = document->m_text.writable()[at->end];
    struct Restore {
        char& byte;
        char saved;
        ~Restore() { byte = saved; }
    } restore{after, after};
    after = '\0';
    m_tree.SetTabSize(document->m_rowTabSize);
    m_tree.Parse(document->m_text.data() + at->begin, nullptr, at->utf8 ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_LEGACY);
    m_element = m_tree.RootElement();
    if (m_tree.Error() || !m_element)
        throw std::logic_error("a table row did not parse on its own as it does in its file");
    m_tree.SetUserData(const_cast<OutlineElement*>(at));
}

int lineOf(const TiXmlElement* element)
{
    if (!element)
        return 0;
    if (const void* own = element->GetUserData())
        return static_cast<const OutlineElement*>(own)->line;
    const TiXmlDocument* tree = element->GetDocument();
    if (const void* row = tree ? tree->GetUserData() : nullptr)
        return static_cast<const OutlineElement*>(row)->line + element->Row() - 1;
    return element->Row();
}

std::string declaredEncoding(const TiXmlDocument& document)
{
    for (const TiXmlNode* node = document.FirstChild(); node; node = node->NextSibling())
        if (const TiXmlDeclaration* declaration = node->ToDeclaration())
            return declaration->Encoding();
    return "";
}

} // namespace document
