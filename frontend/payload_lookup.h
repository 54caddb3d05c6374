#pragma once

#include <cstdint>
#include <optional>

#include "engine/patch_payload.h"

// The payload `id` of this program's image. When it is missing, or its block
// is too short for its header or for the streams the header claims, shows the
// damaged-executable message and returns nothing.
std::optional<PatchPayload> loadPayload(std::uint16_t id);
