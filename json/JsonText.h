// JSON values written as every command here writes them: laid out as
// nlohmann::json's own dump lays them out, but with texts written by the
// one rule every JSON output follows (text/Escapes.h), so that any byte
// string from a file, valid UTF-8 or not, makes valid JSON and never an
// exception. Header-only.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "text/Escapes.h"

namespace jsontext {

namespace detail {

template <class BasicJson>
void appendValue(std::string& out, const BasicJson& value, int indent, int depth)
{
    // Lines are broken and indented only when `indent` is 0 or more.
    auto newline = [&](int level) {
        if (indent < 0)
            return;
        out += '\n';
        out.append(static_cast<std::size_t>(indent) * static_cast<std::size_t>(level), ' ');
    };
    if (value.is_object()) {
        if (value.empty()) {
            out += "{}";
            return;
        }
        out += '{';
        bool first = true;
        for (auto it = value.begin(); it != value.end(); ++it) {
            if (!first)
                out += ',';
            first = false;
            newline(depth + 1);
            text::appendJsonString(out, it.key());
            out += indent < 0 ? ":" : ": ";
            appendValue(out, it.value(), indent, depth + 1);
        }
        newline(depth);
        out += '}';
    } else if (value.is_array()) {
        if (value.empty()) {
            out += "[]";
            return;
        }
        out += '[';
        bool first = true;
        for (const auto& element : value) {
            if (!first)
                out += ',';
            first = false;
            newline(depth + 1);
            appendValue(out, element, indent, depth + 1);
        }
        newline(depth);
        out += ']';
    } else if (value.is_string()) {
        text::appendJsonString(out, value.template get_ref<const typename BasicJson::string_t&>());
    } else {
        // Numbers, booleans and null: the library's own forms.
        out += value.dump();
    }
}

} // namespace detail

// Appends `value` on one line (indent < 0), or with each member and
// element on a line of its own, indented by `indent` spaces per level.
template <class BasicJson>
void appendJson(std::string& out, const BasicJson& value, int indent = -1)
{
    detail::appendValue(out, value, indent, 0);
}

template <class BasicJson>
std::string jsonText(const BasicJson& value, int indent = -1)
{
    std::string out;
    appendJson(out, value, indent);
    return out;
}

} // namespace jsontext
