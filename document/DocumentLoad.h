// Loading a dictionary file safely. The XML parser recurses once per
// nesting level when it builds and destroys a document, and compares each
// new attribute with all earlier ones of its element, so a small hostile
// file could overflow the host thread's stack or freeze it. The file is
// therefore scanned before it is parsed.
#pragma once

#include <string_view>

class TiXmlDocument;

namespace document {

constexpr int kMaxNesting = 256;    // element levels, the root being 1
constexpr int kMaxAttributes = 256; // attributes of one element

// False when the text nests elements deeper, or gives an element more
// attributes, than the bounds above. Unclosed start tags count as open
// levels.
bool withinDocumentBounds(std::string_view text);

// Reads the file once, prepares it as TinyXML's LoadFile does (CR LF and
// lone CR become LF; the text ends at the first NUL byte), checks the
// bounds and parses it with the default encoding detection. False when the
// file cannot be read, is empty, exceeds the bounds or is not well-formed.
bool loadDocument(const char* path, TiXmlDocument& document);

} // namespace document
