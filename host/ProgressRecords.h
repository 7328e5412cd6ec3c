// Records handed to the host's progress library, laid out as the host's
// framework lays them out: sProgressBar derives from the framework's
// CObject and holds the framework's pointer-sized wide strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cwchar>

// The framework's root class: polymorphic, no data.
class CObject {
public:
    virtual ~CObject() = default;
};

// The framework's wide string: one pointer to zero-terminated wide text.
class CWideString {
public:
    CWideString() = default;
    CWideString(const CWideString&) = delete;
    CWideString& operator=(const CWideString&) = delete;
    ~CWideString() { delete[] m_text; }

    void assign(const wchar_t* text, std::size_t length)
    {
        wchar_t* copy = new wchar_t[length + 1];
        std::wmemcpy(copy, text, length);
        copy[length] = L'\0';
        delete[] m_text;
        m_text = copy;
    }
    const wchar_t* c_str() const { return m_text ? m_text : L""; }

private:
    wchar_t* m_text = nullptr;
};

struct sDelayInformation {
    std::int32_t firstStep;
    std::int32_t stepCount;
};

struct sProgressBar : CObject {
    explicit sProgressBar(std::int32_t first) : nFirst(first) {}

    std::int32_t nFirst;
    std::int32_t nSecond = 1;
    CWideString strMessage;
    CWideString strSecond;
    std::int32_t nThird = 0;
    std::int32_t nFourth = 0;
    CWideString strThird;
    std::int32_t nStep = 0;
    std::int32_t nStepCount = 0;
    std::int32_t nFifth = 0;
    std::int32_t nSixth = 0;
    std::int64_t nEight = 0;
    CWideString strDetail;
};

// The progress library reads these records by offset: keep the host's layout.
static_assert(sizeof(sDelayInformation) == 8, "delay information is two 32-bit integers");
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif
#if INTPTR_MAX == INT64_MAX
static_assert(offsetof(sProgressBar, nFirst) == 8, "sProgressBar layout");
static_assert(offsetof(sProgressBar, nSecond) == 12, "sProgressBar layout");
static_assert(offsetof(sProgressBar, strMessage) == 16, "sProgressBar layout");
static_assert(offsetof(sProgressBar, strSecond) == 24, "sProgressBar layout");
static_assert(offsetof(sProgressBar, nThird) == 32, "sProgressBar layout");
static_assert(offsetof(sProgressBar, nFourth) == 36, "sProgressBar layout");
static_assert(offsetof(sProgressBar, strThird) == 40, "sProgressBar layout");
static_assert(offsetof(sProgressBar, nStep) == 48, "sProgressBar layout");
static_assert(offsetof(sProgressBar, nStepCount) == 52, "sProgressBar layout");
static_assert(offsetof(sProgressBar, nFifth) == 56, "sProgressBar layout");
static_assert(offsetof(sProgressBar, nSixth) == 60, "sProgressBar layout");
static_assert(offsetof(sProgressBar, nEight) == 64, "sProgressBar layout");
static_assert(offsetof(sProgressBar, strDetail) == 72, "sProgressBar layout");
static_assert(sizeof(sProgressBar) == 80, "sProgressBar layout");
#endif
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// Names of the progress library and its entry points.
#define PROGRESS_LIBRARY_NAME L"UlmarB_UI_Progressu.dll"
#define PROGRESS_REGISTE_MESSAGE "ProcessDisplayServer_RegisteMessage"
#define PROGRESS_SET_DELAY_INFORMATION "ProcessDisplayServer_SetProcessDelayInformationEx"
#define PROGRESS_MESSAGE "ProcessDisplayServer_ProgressMessage"
