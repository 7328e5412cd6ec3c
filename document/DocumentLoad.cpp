#include "document/DocumentLoad.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <tinyxml.h>

#include "platform/Platform.h"

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
// that has NUL bytes beside it. Looked at before the text is cut at its
// first NUL.
bool looksWide(const char* bytes, std::size_t size)
{
    auto starts = [&](std::string_view prefix) {
        return size >= prefix.size() && std::memcmp(bytes, prefix.data(), prefix.size()) == 0;
    };
    using namespace std::literals;
    return starts("\xFF\xFE"sv) || starts("\xFE\xFF"sv) || starts("\0\0\xFE\xFF"sv) || starts("<\0"sv) ||
           starts("\0<"sv) || starts("\0\0\0<"sv);
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

} // namespace

bool loadDocument(const char* path, TiXmlDocument& document, LoadError* error, Positions positions,
                  LoadedText* loaded)
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
    if (looksWide(bytes.get(), size)) {
        why.kind = LoadError::Kind::WideEncoding;
        return false;
    }
    DocumentText text(std::move(bytes), size);
    ParseTrace trace = traceParse(text);
    if (trace.broken != ParseTrace::Bound::None) {
        why = refusal(text, trace);
        return false;
    }
    if (text.size() > 0) {
        document.SetTabSize(positions == Positions::Tracked ? 4 : 0);
        document.Parse(text.data(), nullptr, TIXML_DEFAULT_ENCODING);
        if (!document.Error()) {
            if (loaded && trace.unreadFrom != ParseTrace::npos) {
                TextPosition at = positionOf(text.view(), trace.unreadFrom, trace.charactersFrom);
                *loaded = {at.row, at.column};
            }
            return true;
        }
    }
    if (text.size() == 0 || document.ErrorId() == TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY) {
        why.kind = LoadError::Kind::Empty;
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
    }
    return false;
}

std::string declaredEncoding(const TiXmlDocument& document)
{
    for (const TiXmlNode* node = document.FirstChild(); node; node = node->NextSibling())
        if (const TiXmlDeclaration* declaration = node->ToDeclaration())
            return declaration->Encoding();
    return "";
}

} // namespace document
