#include "frontend/driver.h"

#include <array>

#include "engine/payload_header.h"
#include "frontend/dialogs.h"
#include "frontend/summary.h"

int runGenerator(const GeneratorProgram& program, const GeneratorServices& services) {
    if (program.jobs.size() > kMaxSummaryRows) {
        showDamagedExecutable();
        return kExitNormal;
    }
    std::array<PatchPayload, kMaxSummaryRows> payloads{};
    std::array<PayloadHeader, kMaxSummaryRows> headers{};
    for (std::size_t row = 0; row < program.jobs.size(); ++row) {
        const std::optional<PatchPayload> payload =
            services.loadPayload(program.jobs[row].payloadId);
        if (!payload) {
            return kExitNormal;  // the lookup has said the executable is damaged
        }
        payloads[row] = *payload;
        if (!readPayloadHeader(*payload, headers[row])) {
            showDamagedExecutable();
            return kExitNormal;
        }
    }

    std::array<char, kSummaryBufferSize> summary{};
    if (!formatSummary(summary, program.summaryTemplate,
                       std::span(headers).first(program.jobs.size()))) {
        showDamagedExecutable();
        return kExitNormal;
    }
    if (!confirmSummary(summary.data())) {
        return kExitDeclined;
    }

    for (std::size_t row = 0; row < program.jobs.size(); ++row) {
        const PatchJob& job = program.jobs[row];
        if (services.runJob(payloads[row], job.inputName, job.outputName) != kJobSucceeded) {
            return kExitNormal;  // the job has shown its own message
        }
    }
    showCompletion();
    return kExitNormal;
}
