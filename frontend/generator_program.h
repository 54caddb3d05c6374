#pragma once

#include <cstdint>
#include <span>

// One row of a job table: which payload turns which input into which output.
struct PatchJob {
    std::uint16_t payloadId;
    const char* inputName;
    const char* outputName;
};

// What makes one deliverable: its job table, in run order, and the template
// of its summary (code page 932; one "%d" and sixteen "%02x" per row).
struct GeneratorProgram {
    std::span<const PatchJob> jobs;
    const char* summaryTemplate;
};

// The program this executable is; defined by each deliverable.
const GeneratorProgram& thisProgram();
