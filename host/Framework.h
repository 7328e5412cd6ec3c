// The host's application framework, as far as the plug-in uses it: its
// modal message box. The plug-in builds against this declaration as it
// would against the framework's own headers; hostsim/framework stands in
// for the framework's library.
#pragma once

#if defined(_WIN32)
#  if defined(HOST_FRAMEWORK_BUILD)
#    define FRAMEWORK_API __declspec(dllexport)
#  else
#    define FRAMEWORK_API __declspec(dllimport)
#  endif
#else
#  define FRAMEWORK_API __attribute__((visibility("default")))
#endif

// Message box types, as the framework takes them (MB_OK, MB_ICONERROR,
// MB_ICONWARNING).
constexpr unsigned int kMessageBoxOk = 0x00;
constexpr unsigned int kMessageBoxIconError = 0x10;
constexpr unsigned int kMessageBoxIconWarning = 0x30;

// Shows the text in the framework's modal message box, owned by the host's
// main window, and returns the button the user pressed.
FRAMEWORK_API int AfxMessageBox(const wchar_t* text, unsigned int type = kMessageBoxOk, unsigned int helpId = 0);
