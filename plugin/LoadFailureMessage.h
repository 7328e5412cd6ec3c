// The message the user sees when a file cannot be imported.
#pragma once

#include <string>

#include "document/DocumentLoad.h"

// Names the file and says why it could not be loaded, and where when the
// fault has a place in it.
std::wstring loadFailureMessage(const char* path, const document::LoadError& error);
