#include "tools/mkpayload/payload_stats.h"

#include "engine/payload_header.h"

namespace mkpayload {

void printPayloadStats(const PayloadStats& stats, std::FILE* out) {
    const std::int64_t streams = stats.controlBytes + stats.dataBytes + stats.extraBytes;
    const double extraShare =
        streams > 0 ? 100.0 * static_cast<double>(stats.extraBytes) / static_cast<double>(streams)
                    : 0.0;
    std::fprintf(out, "records:      %lld\n", static_cast<long long>(stats.records));
    std::fprintf(out, "control:      %lld bytes compressed\n",
                 static_cast<long long>(stats.controlBytes));
    std::fprintf(out, "data:         %lld bytes compressed\n",
                 static_cast<long long>(stats.dataBytes));
    std::fprintf(out, "extra:        %lld bytes compressed (%.1f%% of the streams)\n",
                 static_cast<long long>(stats.extraBytes), extraShare);
    std::fprintf(out, "payload:      %lld bytes\n",
                 static_cast<long long>(streams + static_cast<std::int64_t>(kPayloadHeaderSize)));
    std::fprintf(out, "old size:     %lld bytes\n", static_cast<long long>(stats.oldSize));
    std::fprintf(out, "new size:     %lld bytes\n", static_cast<long long>(stats.newSize));
    std::fprintf(out, "time:         %.3f s\n", stats.seconds);
}

}  // namespace mkpayload
