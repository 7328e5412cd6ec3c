// The progress steps of an import run: one per model table, then the
// design steps, all numbered within one range and announced with one text.
#pragma once

#include <cstddef>

#include "progress/TolvProcessDisplayServerWarper.h"

namespace importsteps {

constexpr int kModelSteps = 23;
constexpr int kDesignSteps = 8;
constexpr int kFirstModelStep = 1;
constexpr int kFirstDesignStep = kFirstModelStep + kModelSteps;
constexpr int kStepCount = kModelSteps + kDesignSteps;
inline const wchar_t kStepText[] = L"Import All Layer Basic Data";

// The range of the run; each importer announces it before its steps.
inline void announceRange()
{
    TolvProcessDisplayServerWarper::instance().setProcessDelayInformation(kFirstModelStep, kStepCount);
}

inline void announceStep(int step)
{
    TolvProcessDisplayServerWarper::instance().progressMessage(step, kStepCount, kStepText, L"");
}

// Runs an importer's readers as the steps from `firstStep` on: the range,
// then per step its message and its reader (a null reader: the message
// alone). A report on a file (`announce` false) runs the readers without
// the host's progress display.
template <class Importer, std::size_t N>
void runSteps(Importer& importer, bool (Importer::*const (&readers)[N])(), int firstStep, bool announce)
{
    if (announce)
        announceRange();
    int step = firstStep;
    for (auto read : readers) {
        if (announce)
            announceStep(step);
        ++step;
        if (read)
            (importer.*read)();
    }
}

} // namespace importsteps
