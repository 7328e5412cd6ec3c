// A quick pass over a file before it is parsed. The XML parser recurses
// once per nesting level when it builds and destroys a document, and
// compares each new attribute with all earlier ones of its element, so a
// small hostile file could overflow the host thread's stack or freeze it.
#pragma once

namespace document {

constexpr int kMaxNesting = 256;    // element levels, the root being 1
constexpr int kMaxAttributes = 256; // attributes of one element

// False when the file cannot be read, or nests elements deeper or gives
// an element more attributes than the bounds above. Unclosed start tags
// count as open levels.
bool withinDocumentBounds(const char* path);

} // namespace document
