#include "frontend/entry.h"

#include "engine/patch_job.h"
#include "frontend/driver.h"
#include "frontend/payload_lookup.h"

int generatorMain() {
    return runGenerator(thisProgram(), GeneratorServices{loadPayload, runPatchJob});
}
