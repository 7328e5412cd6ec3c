// The report as one self-contained HTML page: per file, what the report
// says (summary, tables, warnings) and a plan of every storey, drawn from
// what the import stored, with zoom, pan and a tooltip per member; and the
// same plans as SVG files of their own.
#pragma once

#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "tools/report/FileReport.h"
#include "tools/plan/Plan.h"

namespace htmlreport {

// What a page starts with after its document type, by which dictcheck
// knows a file it may overwrite as one of its own pages.
extern const char kPageStart[];

// The design tables of which the file held rows, as the plan takes them.
std::set<std::string> designTablesHeld(const dictcheck::FileReport& report);

class Page {
public:
    // Adds a file's part: its report (and the same report as JSON, shown
    // field by field, whatever fields it has) and its plan.
    void addFile(const dictcheck::FileReport& report, const nlohmann::ordered_json& reportJson,
                 const plan::Plan& plan);

    // The whole page.
    std::string html() const;

private:
    std::string m_body;
    int m_files = 0;
};

// Writes one SVG file per storey into `dir` (created when missing), named
// PREFIX + the storey's place in elevation order + "-floor" + its key
// ("01-floor1.svg"), each whole or not at all. Each stands alone, unless
// the files would repeat far more of each other than they hold (thousands
// of storeys and axes): then the axes and the elements several members
// are drawn through are written once, to PREFIX + "shared.svg", which
// each file refers to and names. False, with the reason in `error`, at the first
// file that cannot be written.
bool writeSvgFiles(const std::string& dir, const std::string& prefix, const plan::Plan& plan, std::string& error);

// Whether writeSvgFiles may give a file this name, whatever the plan:
// [fileN-]PLACE-floorKEY.svg, or [fileN-]shared.svg.
bool isSvgFileName(const std::string& name);

} // namespace htmlreport
