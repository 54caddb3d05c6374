#pragma once

#include <cstdint>
#include <optional>

#include "engine/job_status.h"
#include "engine/patch_payload.h"
#include "frontend/generator_program.h"

// What the driver calls out to; the entry passes loadPayload and runPatchJob,
// tests pass their own.
struct GeneratorServices {
    std::optional<PatchPayload> (*loadPayload)(std::uint16_t id);
    JobStatus (*runJob)(PatchPayload payload, const char* inputName, const char* outputName);
};

inline constexpr int kExitNormal = 0;
inline constexpr int kExitDeclined = 1;

// One whole run: fetch every payload, confirm the summary, run the jobs in
// table order until one fails, report completion. Returns the exit status:
// 1 when the user declines the summary, 0 for every other ending.
int runGenerator(const GeneratorProgram& program, const GeneratorServices& services);
