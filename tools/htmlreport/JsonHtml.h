// Any JSON value as HTML tables, by its shape alone, so that whatever a
// report holds, now or after new fields and kinds join it, reaches the
// page: scalars as text, an object as a two-column table (or, when every
// value is an object, as one row per key with a column per field), an
// array of objects as one row per object with a column per field seen in
// any of them, other arrays as a list.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace htmlreport {

void appendJsonHtml(std::string& out, const nlohmann::ordered_json& value);

} // namespace htmlreport
