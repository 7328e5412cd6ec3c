// Navigation in the loaded document and the typed field readers every
// table reader uses. A missing element or absent text leaves the member
// as it was.
#pragma once

#include <cstring>
#include <string>
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

bool readText(const char* text, std::string& member);
bool readInt(const char* text, int& member);
bool readReal(const char* text, double& member);
bool readFlag(const char* text, bool& member);

// A keyed reference: <field><Wrapper><Value>key</Value></Wrapper></field>.
// Always true; a missing wrapper, "Value" or text leaves the key as it was.
bool readKeyRef(const TiXmlHandle& field, const char* wrapper, int& key);

// False when the handle is not an element or has no child element of that
// name; otherwise true, and the child's text, when it has any, replaces
// the string.
bool readChildText(const TiXmlHandle& holder, const char* name, std::string& member);

// Calls f for the first child element named `first` and then for every
// following sibling element, whatever its name.
template <class F>
void forEachEntry(const TiXmlHandle& list, const char* first, F&& f)
{
    for (TiXmlElement* entry = firstChild(list, first).ToElement(); entry; entry = entry->NextSiblingElement())
        f(entry);
}

} // namespace document
