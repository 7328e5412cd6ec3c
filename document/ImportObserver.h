// What an import run can tell about a file as it reads it: which sections
// and tables it found, which rows it stored or left out and why, and which
// fields it could not read as written. The plug-in passes no observer and
// pays nothing for it; a report on a file passes one.
#pragma once

#include <string>

#include "document/Conversions.h"

class TiXmlElement;

namespace document {

struct LoadError;
struct LoadedText;
struct DictionaryFrame;

// An import stopped by an exception: out of memory, or anything else.
struct RunFailure {
    bool outOfMemory = false;
    bool storing = false; // the importers had begun: the store may hold records of the file
    std::string what;     // the exception's own text, when it has one
};

class ImportObserver {
public:
    virtual ~ImportObserver() = default;

    // The file.
    virtual void loadFailed(const LoadError&) {}
    // The encoding its declaration names, when that is not UTF-8.
    virtual void declaredEncoding(const char*) {}
    // It loaded but holds no dictionary: `frame.missing` says what it lacks.
    virtual void noDictionary(const DictionaryFrame& /*frame*/, const LoadedText& /*loaded*/) {}
    // The run stopped part-way.
    virtual void runFailed(const RunFailure&) {}

    // Sections and table entries. `position` counts the section list's
    // child elements from 0; `section` is "ModelDB" or "DesignDB".
    virtual void sectionEntry(int /*position*/, const TiXmlElement* /*entry*/) {}
    virtual void tableEntry(const char* /*section*/, const char* /*name*/, const TiXmlElement* /*entry*/,
                            bool /*indexed*/)
    {
    }
    // A table entry without "Key", "Value" or name text: it has no table.
    virtual void tableEntrySkipped(const char* /*section*/, const TiXmlElement* /*entry*/, const char* /*why*/) {}

    // A reader's table: looked up by `name`; `displayName` is the store's
    // name of the host table it writes to.
    virtual void tableBegin(const char* /*section*/, const char* /*name*/, const char* /*displayName*/,
                            bool /*present*/)
    {
    }
    // Each row the walk visits, then whether it was stored or why not.
    virtual void row(const TiXmlElement* /*row*/) {}
    virtual void rowStored(int /*key*/) {}
    virtual void rowSkipped(const char* /*why*/) {}

    // Fields, by element name; sub-records are entered and left so that a
    // field's path can be told.
    virtual void enter(const char* /*element*/) {}
    virtual void leave() {}
    virtual void elementMissing(const char* /*element*/) {}
    virtual void numberNotWhole(const char* /*element*/, const char* /*text*/, NumberFit /*fit*/, double /*value*/) {}
};

} // namespace document
