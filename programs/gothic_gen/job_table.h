#pragma once

#include "frontend/generator_program.h"

// The job table and summary template of gothic_gen.
const GeneratorProgram& gothicGenProgram();
