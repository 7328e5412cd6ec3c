// The progress steps of an import run: each importer announces the run's
// range, then one message per step of its tables, all with one text.
#pragma once

#include <functional>
#include <tuple>

#include "progress/TolvProcessDisplayServerWarper.h"

namespace importsteps {

inline const wchar_t kStepText[] = L"Import All Layer Basic Data";

// Where an importer's steps stand in the run.
struct StepPlan {
    int first = 1;        // number of the importer's first step
    int count = 0;        // steps of the whole run
    bool announce = true; // false: the readers run without the host's progress display
    // Told of each step as it begins (step, count), for a command's own
    // display of its progress; null when none is kept.
    const std::function<void(int, int)>* told = nullptr;
};

// Runs an importer's tables as its steps: the range, then per table the
// messages of its steps and its reader. `tables` is a section's registry
// (each entry tells its `steps`); `read` reads one entry's table.
template <class Tables, class Read>
void runSteps(const Tables& tables, const StepPlan& plan, Read&& read)
{
    // The client loads the progress library on first use: a run that
    // announces nothing never touches it.
    if (plan.announce)
        TolvProcessDisplayServerWarper::instance().setProcessDelayInformation(1, plan.count);
    int step = plan.first;
    auto run = [&](const auto& entry) {
        for (int i = 0; i < entry.steps; ++i, ++step) {
            if (plan.announce)
                TolvProcessDisplayServerWarper::instance().progressMessage(step, plan.count, kStepText, L"");
            if (plan.told && *plan.told)
                (*plan.told)(step, plan.count);
        }
        read(entry);
    };
    std::apply([&](const auto&... entry) { (run(entry), ...); }, tables);
}

} // namespace importsteps
