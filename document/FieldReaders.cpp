#include "document/FieldReaders.h"

#include "document/Conversions.h"

namespace document {

bool readText(const char* text, std::string& member)
{
    if (!text)
        return false;
    member = text;
    return true;
}

bool readInt(const char* text, int& member)
{
    if (!text)
        return false;
    member = toInt(text);
    return true;
}

bool readReal(const char* text, double& member)
{
    if (!text)
        return false;
    member = toReal(text);
    return true;
}

bool readFlag(const char* text, bool& member)
{
    if (!text)
        return false;
    member = toInt(text) != 0;
    return true;
}

bool readKeyRef(const TiXmlHandle& field, const char* wrapper, int& key)
{
    readInt(textOf(firstChild(firstChild(field, wrapper), "Value")), key);
    return true;
}

bool readChildText(const TiXmlHandle& holder, const char* name, std::string& member)
{
    const TiXmlElement* child = firstChild(TiXmlHandle(holder.ToElement()), name).ToElement();
    if (!child)
        return false;
    if (const char* text = child->GetText())
        member = text;
    return true;
}

} // namespace document
