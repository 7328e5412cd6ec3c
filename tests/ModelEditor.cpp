#include "ModelEditor.h"

#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "TestSupport.h"

namespace testsupport {

namespace {

int keyOf(TiXmlElement* row)
{
    const char* text = TiXmlHandle(row).FirstChild("Key").FirstChild("Value").ToElement()->GetText();
    return std::atoi(text);
}

// The element at a path of names below `from`; "name#i" takes the i-th
// child of that name.
TiXmlElement* at(TiXmlElement* from, const std::string& path)
{
    TiXmlHandle handle(from);
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        std::string step = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::size_t hash = step.find('#');
        if (hash == std::string::npos)
            handle = handle.FirstChild(step.c_str());
        else
            handle = handle.Child(step.substr(0, hash).c_str(), std::atoi(step.c_str() + hash + 1));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return handle.ToElement();
}

void setText(TiXmlElement* element, const std::string& text)
{
    element->Clear();
    element->LinkEndChild(new TiXmlText(text.c_str()));
}

} // namespace

ModelEditor::ModelEditor(const std::string& path) : m_document(new TiXmlDocument())
{
    EXPECT_TRUE(m_document->LoadFile(path.c_str())) << path;
}

ModelEditor::~ModelEditor() = default;

TiXmlElement* ModelEditor::rows(Section section, const char* table) const
{
    TiXmlElement* entry = TiXmlHandle(m_document->RootElement())
                              .FirstChild("Pairs")
                              .ChildElement(static_cast<int>(section))
                              .FirstChild("Value")
                              .FirstChild("Pairs")
                              .FirstChild("Pair")
                              .ToElement();
    for (; entry; entry = entry->NextSiblingElement()) {
        const char* name = TiXmlHandle(entry).FirstChild("Key").ToElement()->GetText();
        if (name && std::strcmp(name, table) == 0)
            return TiXmlHandle(entry).FirstChild("Value").FirstChild("Pairs").ToElement();
    }
    ADD_FAILURE() << "no table " << table;
    return nullptr;
}

std::vector<int> ModelEditor::keys(Section section, const char* table) const
{
    std::vector<int> result;
    for (TiXmlElement* row = rows(section, table)->FirstChildElement("Pair"); row; row = row->NextSiblingElement())
        result.push_back(keyOf(row));
    return result;
}

TiXmlElement* ModelEditor::row(Section section, const char* table, int key) const
{
    for (TiXmlElement* row = rows(section, table)->FirstChildElement("Pair"); row; row = row->NextSiblingElement())
        if (keyOf(row) == key)
            return row;
    ADD_FAILURE() << "no row " << key << " in " << table;
    return nullptr;
}

std::string ModelEditor::field(TiXmlElement* row, const std::string& path) const
{
    TiXmlElement* element = at(TiXmlHandle(row).FirstChild("Value").ToElement(), path);
    EXPECT_NE(element, nullptr) << path;
    const char* text = element ? element->GetText() : nullptr;
    return text ? text : "";
}

void ModelEditor::setField(TiXmlElement* row, const std::string& path, const std::string& text)
{
    TiXmlElement* element = at(TiXmlHandle(row).FirstChild("Value").ToElement(), path);
    ASSERT_NE(element, nullptr) << path;
    setText(element, text);
}

void ModelEditor::removeRow(Section section, const char* table, int key)
{
    TiXmlElement* doomed = row(section, table, key);
    doomed->Parent()->RemoveChild(doomed);
}

TiXmlElement* ModelEditor::addRow(Section section, const char* table, int key, TiXmlElement* like)
{
    TiXmlElement* added = rows(section, table)->InsertEndChild(*like)->ToElement();
    setText(TiXmlHandle(added).FirstChild("Key").FirstChild("Value").ToElement(), std::to_string(key));
    return added;
}

void ModelEditor::renumberNodes(const std::map<int, int>& newKeys)
{
    for (TiXmlElement* row = rows(Section::Model, "NodeTable")->FirstChildElement("Pair"); row;
         row = row->NextSiblingElement())
        setText(TiXmlHandle(row).FirstChild("Key").FirstChild("Value").ToElement(),
                std::to_string(newKeys.at(keyOf(row))));
    // Every reference: <S_Node_K><Value>key</Value></S_Node_K>, anywhere.
    std::vector<TiXmlElement*> pending{
        TiXmlHandle(m_document->RootElement()).FirstChild("Pairs").ChildElement(0).ToElement()};
    while (!pending.empty()) {
        TiXmlElement* e = pending.back();
        pending.pop_back();
        if (std::strcmp(e->Value(), "S_Node_K") == 0) {
            TiXmlElement* value = e->FirstChildElement("Value");
            auto renamed = newKeys.find(std::atoi(value->GetText()));
            if (renamed != newKeys.end())
                setText(value, std::to_string(renamed->second));
            continue;
        }
        for (TiXmlElement* child = e->FirstChildElement(); child; child = child->NextSiblingElement())
            pending.push_back(child);
    }
}

void ModelEditor::save(const std::string& path) const
{
    EXPECT_TRUE(m_document->SaveFile(path.c_str())) << path;
}

const std::string& generatedModel(const std::string& options)
{
    static std::map<std::string, std::unique_ptr<TempFile>> models;
    std::unique_ptr<TempFile>& model = models[options];
    if (!model) {
        model = std::make_unique<TempFile>("", "generated.xml");
        EXPECT_EQ(run(quote(MODELGEN_PATH) + " " + options + " -o " + quote(model->path()) + " 2>/dev/null").status, 0)
            << options;
    }
    return model->path();
}

} // namespace testsupport
