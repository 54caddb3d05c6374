#include "tools/mkpayload/progress_meter.h"

#include <unistd.h>

#include <cstdio>

namespace mkpayload {

namespace {

// About a second's work on a current machine.
constexpr std::int64_t kNoticeableInputBytes = 4 << 20;

}  // namespace

ProgressMeter makeProgressMeter(std::int64_t totalInputBytes) {
    ProgressMeter meter;
    meter.enabled = totalInputBytes >= kNoticeableInputBytes && isatty(STDERR_FILENO) == 1;
    return meter;
}

void startPhase(ProgressMeter& meter, const char* phase) {
    meter.phase = phase;
    meter.shownPercent = -1;
    if (meter.enabled) {
        std::fprintf(stderr, "\rmkpayload: %-24s", phase);
        std::fflush(stderr);
    }
}

void reportProgress(ProgressMeter& meter, std::int64_t done, std::int64_t total) {
    if (!meter.enabled || total <= 0) {
        return;
    }
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == meter.shownPercent) {
        return;
    }
    meter.shownPercent = percent;
    std::fprintf(stderr, "\rmkpayload: %s %3d%%   ", meter.phase, percent);
    std::fflush(stderr);
}

void finishProgress(ProgressMeter& meter) {
    if (meter.enabled) {
        std::fprintf(stderr, "\r%40s\r", "");
        std::fflush(stderr);
    }
}

}  // namespace mkpayload
