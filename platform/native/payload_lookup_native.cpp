#include "platform/native/embedded_payloads.h"
#include "platform/platform.h"

std::optional<PatchPayload> findEmbeddedPayload(std::uint16_t id) {
    for (const EmbeddedPayload& payload : embeddedPayloadTable()) {
        if (payload.id == id) {
            return PatchPayload(payload.bytes, static_cast<std::size_t>(payload.size));
        }
    }
    return std::nullopt;
}
