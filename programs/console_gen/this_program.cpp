// The executable console_gen is the program of this job table.
#include "programs/console_gen/job_table.h"

const GeneratorProgram& thisProgram() {
    return consoleGenProgram();
}
