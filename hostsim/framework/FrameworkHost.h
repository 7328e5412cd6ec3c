// What the host application can do with its framework's message box: take
// over showing it, as an application object does. Only hostsim and the
// tests use this.
#pragma once

#include "host/Framework.h"

namespace hostframework {

// Called with every message box the framework is asked to show, instead
// of showing it; null restores the default.
using MessageBoxHandler = void (*)(const wchar_t* text, unsigned int type);
FRAMEWORK_API void setMessageBoxHandler(MessageBoxHandler handler);

} // namespace hostframework
