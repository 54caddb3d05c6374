#pragma once

#include "tools/mkpayload/make_status.h"
#include "tools/mkpayload/payload_stats.h"

namespace mkpayload {

// Makes the payload that turns the file `oldName` into the file `newName` and
// writes it to `payloadName`. Fills `stats` on success.
MakeStatus makePayload(const char* oldName, const char* newName, const char* payloadName,
                       PayloadStats& stats);

}  // namespace mkpayload
