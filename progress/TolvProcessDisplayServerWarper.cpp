#include "progress/TolvProcessDisplayServerWarper.h"

#include "platform/Platform.h"
#include "host/ProgressRecords.h"

namespace {

// The progress library, loaded once per library life.
platform::LibraryHandle g_progressLibrary = nullptr;

template <class Fn>
Fn resolve(const char* name)
{
    Fn fn = reinterpret_cast<Fn>(platform::findSymbol(g_progressLibrary, name));
    if (!fn)
        platform::showMessageBox(std::wstring(PROGRESS_LIBRARY_NAME) + L":" +
                                 std::wstring(name, name + std::char_traits<char>::length(name)) +
                                 L" 接口不存在！");
    return fn;
}

} // namespace

TolvProcessDisplayServerWarper& TolvProcessDisplayServerWarper::instance()
{
    static TolvProcessDisplayServerWarper client;
    return client;
}

TolvProcessDisplayServerWarper::TolvProcessDisplayServerWarper()
    : m_registeMessage(nullptr), m_setProcessDelayInformationEx(nullptr), m_progressMessage(nullptr)
{
    if (!g_progressLibrary) {
        g_progressLibrary = platform::loadLibrary(PROGRESS_LIBRARY_NAME);
        if (!g_progressLibrary) {
            platform::showMessageBox(std::wstring(L"[") + PROGRESS_LIBRARY_NAME + L"]加载失败！");
            return;
        }
    }
    // Entry points after a missing one stay unresolved.
    m_registeMessage = resolve<RegisteMessageFn>(PROGRESS_REGISTE_MESSAGE);
    if (!m_registeMessage)
        return;
    m_setProcessDelayInformationEx = resolve<SetProcessDelayInformationExFn>(PROGRESS_SET_DELAY_INFORMATION);
    if (!m_setProcessDelayInformationEx)
        return;
    m_progressMessage = resolve<ProgressMessageFn>(PROGRESS_MESSAGE);
}

TolvProcessDisplayServerWarper::~TolvProcessDisplayServerWarper()
{
    if (g_progressLibrary) {
        platform::freeLibrary(g_progressLibrary);
        g_progressLibrary = nullptr;
    }
}

int TolvProcessDisplayServerWarper::setProcessDelayInformation(int firstStep, int stepCount)
{
    if (!m_setProcessDelayInformationEx)
        return 0;
    sDelayInformation information{firstStep, stepCount};
    return m_setProcessDelayInformationEx(&information);
}

int TolvProcessDisplayServerWarper::progressMessage(int step, int stepCount, const std::wstring& text,
                                                    const std::wstring& detail)
{
    sProgressBar bar(1000);
    bar.nStep = step;
    bar.nStepCount = stepCount;
    bar.strMessage.assign(text.data(), text.size());
    bar.strDetail.assign(detail.data(), detail.size());
    bar.nThird = 1;
    return m_progressMessage ? m_progressMessage(&bar) : 0;
}
