// The plug-in's one export.
#include "host/EventData.h"
#include "plugin/CMBMBNReaderImpl.h"

#if defined(_WIN32)
#  define PLUGIN_EXPORT __declspec(dllexport)
#else
#  define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

// Hands the event's file to the reader. Returns 0 in every case: whether
// the file could be read is reported to nobody.
extern "C" PLUGIN_EXPORT int EventDispatcher(EventData* event)
{
    if (!event || event->m_strPath.empty())
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
