// Payloads are resources of type "BIN" in the program's own image; the
// lookup names no language, so the one the .rc gives them (1033) is found.
#include <windows.h>

#include "platform/platform.h"

std::optional<PatchPayload> findEmbeddedPayload(std::uint16_t id) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "BIN");
    if (resource == nullptr) {
        return std::nullopt;
    }
    HGLOBAL loaded = LoadResource(nullptr, resource);
    if (loaded == nullptr) {
        return std::nullopt;
    }
    const void* bytes = LockResource(loaded);
    if (bytes == nullptr) {
        return std::nullopt;
    }
    // Mapped with the image for the life of the process; never released.
    const DWORD size = SizeofResource(nullptr, resource);
    return PatchPayload(static_cast<const std::uint8_t*>(bytes), size);
}
