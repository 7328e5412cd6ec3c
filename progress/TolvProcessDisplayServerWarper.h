// Client of the host's progress library, loaded at run time. A missing
// library or entry point is told to the user once; the import goes on
// without progress display.
#pragma once

#include <string>

struct sDelayInformation;
struct sProgressBar;

class TolvProcessDisplayServerWarper {
public:
    // The one client, created on first use and destroyed at library unload.
    static TolvProcessDisplayServerWarper& instance();

    virtual ~TolvProcessDisplayServerWarper();

    int setProcessDelayInformation(int firstStep, int stepCount);
    int progressMessage(int step, int stepCount, const std::wstring& text, const std::wstring& detail);

    TolvProcessDisplayServerWarper(const TolvProcessDisplayServerWarper&) = delete;
    TolvProcessDisplayServerWarper& operator=(const TolvProcessDisplayServerWarper&) = delete;

private:
    TolvProcessDisplayServerWarper();

    using RegisteMessageFn = int (*)(int*);
    using SetProcessDelayInformationExFn = int (*)(sDelayInformation*);
    using ProgressMessageFn = int (*)(sProgressBar*);

    RegisteMessageFn m_registeMessage;
    SetProcessDelayInformationExFn m_setProcessDelayInformationEx;
    ProgressMessageFn m_progressMessage;
};
