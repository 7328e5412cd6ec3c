// Export/import marking of the host's store libraries. The plug-in imports
// these classes exactly as it would from the host's own DLLs.
#pragma once

#if defined(_WIN32)
#  if defined(HOST_STORE_BUILD)
#    define HOST_API __declspec(dllexport)
#  else
#    define HOST_API __declspec(dllimport)
#  endif
#else
#  define HOST_API __attribute__((visibility("default")))
#endif
