// The plug-in's one export.
#include "host/EventData.h"
#include "plugin/CMBMBNReaderImpl.h"

#if defined(_WIN32)
#  define PLUGIN_EXPORT __declspec(dllexport)
#else
#  define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

// Hands the event's file to the reader. Returns 0 in every case: what went
// wrong, the reader tells the user in the framework's message box.
extern "C" PLUGIN_EXPORT int EventDispatcher(EventData* event)
{
    if (!event)
        return 0;
    try {
        CMBMBNReaderImpl& reader = theReader();
        reader.setData(event);
        reader.importFile(event->m_strPath.c_str());
    } catch (...) {
        // Nothing may unwind into the host.
    }
    return 0;
}
