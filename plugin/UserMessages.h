// The messages the user sees when a file cannot be imported, or holds
// nothing to import, or its import stopped part-way, or left out some of
// what the file holds.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "document/DocumentLoad.h"
#include "document/ImportObserver.h"
#include "document/LossTally.h"
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
// What the file lacks, in English, for reports ("no root element").
std::string noDictionaryInEnglish(const NoDictionary& fact);

// An import stopped by running out of memory or by an unexpected error,
// and what it leaves in the model.
std::wstring runFailureMessage(const char* path, const document::RunFailure& failure);
// The same in English, for reports ("the import stopped part-way: out of
// memory; nothing was stored").
std::string runFailureInEnglish(const document::RunFailure& failure);

// A file imported with losses: what was left out or read otherwise than
// written, counted, and where to see each place.
std::wstring lossMessage(const char* path, const document::LossTally& losses);
// The same losses in English, one clause each, most important first
// ("table \"BeamGroupTabel\" (6 rows) not read; did you mean
// \"BeamGroupTable\"?", "1 row not stored"), for reports; none for a
// complete import.
std::vector<std::string> lossesInEnglish(const document::LossTally& losses);
// The verdict on an import: "complete, N records" when it lost nothing,
// else "incomplete: " and the losses, most important first.
std::string verdictInEnglish(const document::LossTally& losses, long long records);
// Each kind of loss that occurred, as dictcheck's report names it
// ("row-skipped", "table-unread", ...; "entries-ignored" counts its
// table-entry-skipped, table-duplicate and section-ignored together), with
// its count, most important first.
std::vector<std::pair<std::string, long long>> lossCounts(const document::LossTally& losses);

// Bytes that are not UTF-8, and what to do about them, in English, as a
// clause for reports ("it holds 3 bytes that are not UTF-8 ...").
std::string encodingFaultInEnglish(const document::EncodingFault& fault);
