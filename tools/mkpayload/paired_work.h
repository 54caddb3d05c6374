#pragma once

// Runs first(firstContext) and second(secondContext) at the same time, on a
// helper thread and the caller's, and returns when both are done. When no
// thread can be started both run one after the other on the caller's thread.
using WorkFunction = void (*)(void* context);

void runPaired(WorkFunction first, void* firstContext, WorkFunction second, void* secondContext);
