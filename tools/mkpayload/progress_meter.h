#pragma once

#include <cstdint>

namespace mkpayload {

// A one-line progress indication on stderr ("mkpayload: scanning 42%"),
// redrawn in place. Silent unless enabled, so pipes and tests see nothing.
struct ProgressMeter {
    bool enabled = false;
    const char* phase = "";
    int shownPercent = -1;
};

// Enabled only when stderr is a terminal and the inputs are large enough for
// the run to take a noticeable time.
ProgressMeter makeProgressMeter(std::int64_t totalInputBytes);

void startPhase(ProgressMeter& meter, const char* phase);

// Redraws only when the whole percentage changed; cheap to call often.
void reportProgress(ProgressMeter& meter, std::int64_t done, std::int64_t total);

// Clears the line.
void finishProgress(ProgressMeter& meter);

}  // namespace mkpayload
