#pragma once

namespace mkpayload {

// Result of making a payload: 0 for success, otherwise what went wrong. The
// function that detects a failure has already printed its message to stderr.
using MakeStatus = int;

inline constexpr MakeStatus kMakeSucceeded = 0;
inline constexpr MakeStatus kMakeInputFailed = 1;  // unreadable or too large
inline constexpr MakeStatus kMakeOutOfMemory = 2;
inline constexpr MakeStatus kMakeSortFailed = 3;
inline constexpr MakeStatus kMakeCompressFailed = 4;
inline constexpr MakeStatus kMakeWriteFailed = 5;

}  // namespace mkpayload
