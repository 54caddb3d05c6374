#pragma once

#include <map>
#include <string>
#include <vector>

#include "frontend/driver.h"
#include "tests/support/payload_builder.h"

// Stand-ins for the payload lookup and the patch job, recording how the
// driver calls them.
struct JobCall {
    std::uint16_t payloadId;
    std::string inputName;
    std::string outputName;
};

struct DriverFakes {
    std::map<std::uint16_t, Bytes> payloads;  // what the image holds
    std::vector<std::uint16_t> fetched;       // ids asked for, in order
    std::vector<JobStatus> statuses;          // status of the n-th job (0 when absent)
    std::vector<JobCall> jobs;                // jobs run, in order
};

// The fakes of the running test; GeneratorServices takes plain functions.
DriverFakes& driverFakes();

GeneratorServices fakeServices();

// A payload block that is just a header expecting `oldsize` bytes with
// digest `oldmd5`.
Bytes headerOnlyPayload(std::int32_t oldsize, const std::uint8_t (&oldmd5)[16]);
