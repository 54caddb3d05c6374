#pragma once

#include "engine/job_status.h"

// Texts of the job's error messages, code page 932. The Japanese in the
// comments is what the bytes read as.

// エラー
inline constexpr char kErrorTitle[] = "\x83G\x83\x89\x81[";

// The message template for a failed status, with at most one "%s" that is
// filled with the name jobMessageNamesOutput() selects; nullptr for 0 and for
// codes a job never returns.
const char* jobMessageTemplate(JobStatus status);

// True when the status's "%s" stands for the output name rather than the
// input name.
bool jobMessageNamesOutput(JobStatus status);
