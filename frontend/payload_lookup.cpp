#include "frontend/payload_lookup.h"

#include "engine/payload_header.h"
#include "frontend/dialogs.h"
#include "platform/platform.h"

std::optional<PatchPayload> loadPayload(std::uint16_t id) {
    const std::optional<PatchPayload> payload = findEmbeddedPayload(id);
    PayloadHeader header;
    // Reading a block past its end would crash, so a short one is damage too.
    if (!payload || !readPayloadHeader(*payload, header) ||
        claimedPayloadLength(header) > static_cast<std::int64_t>(payload->size())) {
        showDamagedExecutable();
        return std::nullopt;
    }
    return payload;
}
