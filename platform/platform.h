#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "engine/patch_payload.h"

// The few operating-system services the generators use. Each has one native
// and one Win32 implementation; texts are code page 932 bytes on both.

enum class MessageIcon { error, question, information };
enum class MessageAnswer { ok, cancel };

// Modal message with an OK button and no owner window.
void showMessage(const char* text, const char* title, MessageIcon icon);

// Modal question with OK and Cancel and the question icon. Anything other
// than OK (closing the box included) is cancel.
MessageAnswer askOkCancel(const char* text, const char* title);

// Removes a file by name; the result is deliberately not examined.
void deleteFileByName(const char* name);

// The payload embedded in this program's own image under `id`, with its
// length, or nothing when the image has no such payload. Shows nothing.
std::optional<PatchPayload> findEmbeddedPayload(std::uint16_t id);

// Formats into `out` (terminated). Returns the length of the text, or -1 when
// it would not fit in `out`; nothing is ever written past its end.
int formatText(std::span<char> out, const char* format, ...);
