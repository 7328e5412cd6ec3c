// What an import run can tell about a file as it reads it: which sections
// and tables it found, which rows it stored or left out and why, and which
// fields it could not read as written. The plug-in passes no observer and
// pays nothing for it; a report on a file passes one. Elements are given
// so that the places of what is told can be found (their rows, when the
// document keeps them).
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
    // What the loaded text holds that no reader sees, or that reads
    // otherwise than written: `afterRoot` is the first element after the
    // root element, if any.
    virtual void loaded(const LoadedText& /*loaded*/, const TiXmlElement* /*afterRoot*/) {}
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
    // A table entry that no reader reads, with the known table name it most
    // likely misspells ("" when none is close) and the rows it holds.
    virtual void tableUnread(const char* /*section*/, const std::string& /*name*/, const std::string& /*nearest*/,
                             long long /*rows*/, const TiXmlElement* /*entry*/)
    {
    }
    // An element before the first table entry of a section (`table` null)
    // or before the first row of a table: nothing reads it.
    virtual void elementNotRead(const char* /*section*/, const char* /*table*/, const TiXmlElement* /*element*/) {}

    // A reader's table: looked up by `name`; `displayName` is the store's
    // name of the host table it writes to.
    virtual void tableBegin(const char* /*section*/, const char* /*name*/, const char* /*displayName*/,
                            bool /*present*/)
    {
    }
    // Each row the walk visits, then whether it was stored or why not:
    // `at` is the element at fault, `why` null for a design row whose chain
    // stopped at the element last told missing.
    virtual void row(const TiXmlElement* /*row*/) {}
    virtual void rowStored(int /*key*/) {}
    virtual void rowSkipped(const TiXmlElement* /*at*/, const char* /*why*/) {}
    // A design row whose key element has no text: it is stored under 0.
    virtual void designKeyEmpty(const TiXmlElement* /*keyValue*/) {}

    // Fields, by element name; sub-records are entered and left so that a
    // field's path can be told. A missing element is told with the element
    // that should hold it.
    virtual void enter(const char* /*element*/) {}
    virtual void leave() {}
    virtual void elementMissing(const TiXmlElement* /*holder*/, const char* /*element*/) {}
    virtual void numberNotWhole(const TiXmlElement* /*element*/, const char* /*text*/, NumberFit /*fit*/,
                                double /*value*/)
    {
    }
    // A real written as infinity or NaN, stored as such.
    virtual void nonFinite(const TiXmlElement* /*element*/, const char* /*text*/) {}
    // An element whose text follows a comment or other markup: it has no
    // text, and its member keeps what it held.
    virtual void textHidden(const TiXmlElement* /*element*/) {}
};

} // namespace document
