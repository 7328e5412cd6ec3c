// The messages the user sees when a file cannot be imported, or holds
// nothing to import, or its import stopped part-way.
#pragma once

#include <string>

#include "document/DocumentLoad.h"
#include "document/ImportObserver.h"
#include "document/SectionIndex.h"

// Names the file and says why it could not be loaded, and where when the
// fault has a place in it.
std::wstring loadFailureMessage(const char* path, const document::LoadError& error);

// The same reason in English, as a predicate of "the file" ("is empty: it
// holds no XML"), for reports on files.
std::string loadFailureReasonInEnglish(const document::LoadError& error);

// A file that loaded but holds no dictionary: what it lacks, and where
// reading stopped when that was before its end.
struct NoDictionary {
    document::DictionaryFrame frame;
    document::LoadedText loaded;
};
std::wstring noDictionaryMessage(const char* path, const NoDictionary& fact);

// An import stopped by running out of memory or by an unexpected error,
// and what it leaves in the model.
std::wstring runFailureMessage(const char* path, const document::RunFailure& failure);
