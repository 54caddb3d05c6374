#pragma once

#include "engine/job_status.h"
#include "engine/patch_payload.h"

// Rebuilds `outputName` from `inputName` and `payload`, after verifying the
// input's length and MD5 digest against the payload header. Every failure has
// been shown to the user (after all resources were released) by the time the
// status returns. Uses "temp.bin" in the current directory as staging file.
JobStatus runPatchJob(PatchPayload payload, const char* inputName, const char* outputName);
