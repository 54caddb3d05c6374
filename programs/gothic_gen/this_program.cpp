// The executable gothic_gen is the program of this job table.
#include "programs/gothic_gen/job_table.h"

const GeneratorProgram& thisProgram() {
    return gothicGenProgram();
}
