#pragma once

#include "tests/support/test_files.h"

// Re-encodes a patch written by Debian's bsdiff (BSDIFF40: 64-bit
// sign-magnitude control integers) into this project's payload container for
// the old file `oldFile`. Returns an empty vector when the patch is not
// BSDIFF40 or a control value does not fit 32 bits.
Bytes payloadFromBsdiffPatch(const Bytes& patch, const Bytes& oldFile);
