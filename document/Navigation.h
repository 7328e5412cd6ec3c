// Navigation in the loaded document: children by name, as TinyXML's
// handles find them, and an element's text.
#pragma once

#include <cstring>
#include <string_view>

#include <tinyxml.h>

namespace document {

// Whether the node is named `name`. Lengths are compared first, so most
// other nodes are passed over without reading their names.
inline bool isNamed(const TiXmlNode* node, std::string_view name)
{
    const auto& value = node->ValueTStr();
    return value.length() == name.size() && std::memcmp(value.c_str(), name.data(), name.size()) == 0;
}

// The first child node named `name`, as TiXmlHandle::FirstChild finds it,
// or an empty handle.
inline TiXmlHandle firstChild(const TiXmlHandle& holder, std::string_view name)
{
    if (const TiXmlNode* parent = holder.ToNode())
        for (const TiXmlNode* child = parent->FirstChild(); child; child = child->NextSibling())
            if (isNamed(child, name))
                return TiXmlHandle(const_cast<TiXmlNode*>(child));
    return TiXmlHandle(nullptr);
}

// The index-th child element named `name` (0 = the first) of an element,
// as TiXmlHandle::ChildElement finds it, or an empty handle.
inline TiXmlHandle childElement(const TiXmlHandle& holder, std::string_view name, int index)
{
    if (const TiXmlElement* parent = holder.ToElement())
        for (const TiXmlNode* child = parent->FirstChild(); child; child = child->NextSibling())
            if (child->Type() == TiXmlNode::TINYXML_ELEMENT && isNamed(child, name) && index-- == 0)
                return TiXmlHandle(const_cast<TiXmlNode*>(child));
    return TiXmlHandle(nullptr);
}

// The text of the handle's node: the content of its first child when that
// child is a text or CDATA node; null when the node is missing, is not an
// element, or has no such text.
inline const char* textOf(const TiXmlHandle& handle)
{
    const TiXmlElement* element = handle.ToElement();
    return element ? element->GetText() : nullptr;
}

// Calls f for the first child element named `first` and then for every
// following sibling element, whatever its name.
template <class F>
void forEachEntry(const TiXmlHandle& list, const char* first, F&& f)
{
    for (TiXmlElement* entry = firstChild(list, first).ToElement(); entry; entry = entry->NextSiblingElement())
        f(entry);
}

} // namespace document
