#pragma once

// Runs `body` in a forked child and returns its exit status (or 128 + signal
// number). For tests that must change process limits the suite itself runs
// under. POSIX only.
int exitStatusInChild(int (*body)());
