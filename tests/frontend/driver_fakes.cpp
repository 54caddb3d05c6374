#include "tests/frontend/driver_fakes.h"

#include <cstring>

#include "frontend/dialogs.h"

DriverFakes& driverFakes() {
    static DriverFakes fakes;
    return fakes;
}

namespace {

std::optional<PatchPayload> fakeLoadPayload(std::uint16_t id) {
    DriverFakes& fakes = driverFakes();
    fakes.fetched.push_back(id);
    const auto found = fakes.payloads.find(id);
    if (found == fakes.payloads.end()) {
        showDamagedExecutable();  // as the real lookup does
        return std::nullopt;
    }
    return PatchPayload(found->second);
}

std::uint16_t idOfPayload(PatchPayload payload) {
    for (const auto& [id, bytes] : driverFakes().payloads) {
        if (payload.data() == bytes.data() && payload.size() == bytes.size()) {
            return id;
        }
    }
    return 0;
}

JobStatus fakeRunJob(PatchPayload payload, const char* inputName, const char* outputName) {
    DriverFakes& fakes = driverFakes();
    const std::size_t index = fakes.jobs.size();
    fakes.jobs.push_back(JobCall{idOfPayload(payload), inputName, outputName});
    return index < fakes.statuses.size() ? fakes.statuses[index] : kJobSucceeded;
}

}  // namespace

GeneratorServices fakeServices() {
    return GeneratorServices{fakeLoadPayload, fakeRunJob};
}

Bytes headerOnlyPayload(std::int32_t oldsize, const std::uint8_t (&oldmd5)[16]) {
    HeaderFields header{};
    header.oldsize = oldsize;
    std::memcpy(header.oldmd5, oldmd5, 16);
    return assemblePayload(header, PayloadStreams{});
}
