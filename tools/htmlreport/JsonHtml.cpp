#include "tools/htmlreport/JsonHtml.h"

#include <algorithm>
#include <vector>

#include "tools/plan/Markup.h"

namespace htmlreport {

using Json = nlohmann::ordered_json;

namespace {

void scalar(std::string& out, const Json& value)
{
    if (value.is_string())
        plan::appendEscaped(out, value.get_ref<const std::string&>());
    else if (value.is_null())
        out += "<span class=\"none\">none</span>";
    else
        plan::appendEscaped(out, value.dump(-1, ' ', false, Json::error_handler_t::replace));
}

// The fields of a set of objects, in the order first seen.
std::vector<std::string> fieldsOf(const std::vector<const Json*>& objects)
{
    std::vector<std::string> fields;
    for (const Json* object : objects)
        for (const auto& item : object->items())
            if (std::find(fields.begin(), fields.end(), item.key()) == fields.end())
                fields.push_back(item.key());
    return fields;
}

// Rows of objects under one header; `keys`, when given, head each row.
void rowsTable(std::string& out, const std::vector<const Json*>& objects, const std::vector<std::string>* keys)
{
    std::vector<std::string> fields = fieldsOf(objects);
    out += "<table class=\"data\"><thead><tr>";
    if (keys)
        out += "<th></th>";
    for (const std::string& field : fields) {
        out += "<th>";
        plan::appendEscaped(out, field);
        out += "</th>";
    }
    out += "</tr></thead><tbody>\n";
    for (std::size_t i = 0; i < objects.size(); ++i) {
        out += "<tr>";
        if (keys) {
            out += "<th>";
            plan::appendEscaped(out, (*keys)[i]);
            out += "</th>";
        }
        for (const std::string& field : fields) {
            out += "<td>";
            auto found = objects[i]->find(field);
            if (found != objects[i]->end())
                appendJsonHtml(out, *found);
            out += "</td>";
        }
        out += "</tr>\n";
    }
    out += "</tbody></table>\n";
}

} // namespace

void appendJsonHtml(std::string& out, const Json& value)
{
    if (value.is_object()) {
        if (value.empty()) {
            out += "<span class=\"none\">none</span>";
            return;
        }
        bool allObjects = std::all_of(value.begin(), value.end(), [](const Json& v) { return v.is_object(); });
        if (allObjects) {
            std::vector<const Json*> objects;
            std::vector<std::string> keys;
            for (const auto& item : value.items()) {
                keys.push_back(item.key());
                objects.push_back(&item.value());
            }
            rowsTable(out, objects, &keys);
            return;
        }
        out += "<table class=\"fields\"><tbody>\n";
        for (const auto& item : value.items()) {
            out += "<tr><th>";
            plan::appendEscaped(out, item.key());
            out += "</th><td>";
            appendJsonHtml(out, item.value());
            out += "</td></tr>\n";
        }
        out += "</tbody></table>\n";
        return;
    }
    if (value.is_array()) {
        if (value.empty()) {
            out += "<span class=\"none\">none</span>";
            return;
        }
        if (std::all_of(value.begin(), value.end(), [](const Json& v) { return v.is_object(); })) {
            std::vector<const Json*> objects;
            for (const Json& v : value)
                objects.push_back(&v);
            rowsTable(out, objects, nullptr);
            return;
        }
        out += "<ul class=\"list\">";
        for (const Json& v : value) {
            out += "<li>";
            appendJsonHtml(out, v);
            out += "</li>";
        }
        out += "</ul>";
        return;
    }
    scalar(out, value);
}

} // namespace htmlreport
