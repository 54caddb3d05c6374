#pragma once

// Result of one patch job: 0 for success, 2 to 10 for the failures below.
// Code 1 is never used by a job (the driver uses exit status 1 for "declined").
using JobStatus = int;

inline constexpr JobStatus kJobSucceeded = 0;
inline constexpr JobStatus kJobInputOpenFailed = 2;
inline constexpr JobStatus kJobInputMismatch = 3;
inline constexpr JobStatus kJobInputReadFailed = 4;
inline constexpr JobStatus kJobWriteFailed = 5;
inline constexpr JobStatus kJobStagingCreateFailed = 6;
inline constexpr JobStatus kJobStagingOpenFailed = 7;
inline constexpr JobStatus kJobDecoderOpenFailed = 8;
inline constexpr JobStatus kJobPatchReadFailed = 9;
inline constexpr JobStatus kJobOutputCreateFailed = 10;
