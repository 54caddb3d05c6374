#pragma once

#include "frontend/generator_program.h"

// The job table and summary template of console_gen.
const GeneratorProgram& consoleGenProgram();
