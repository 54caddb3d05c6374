#pragma once

namespace mkpayload {

// Runs first(firstContext) and second(secondContext) at the same time, on a
// helper thread and the caller's, and returns when both are done. When no
// thread can be started both run one after the other on the caller's thread.
using WorkFunction = void (*)(void* context);

void runPaired(WorkFunction first, void* firstContext, WorkFunction second, void* secondContext);

// The same for two callables (lambdas), which must outlive the call.
template <typename First, typename Second>
void runBoth(First& first, Second& second) {
    runPaired([](void* context) { (*static_cast<First*>(context))(); }, &first,
              [](void* context) { (*static_cast<Second*>(context))(); }, &second);
}

}  // namespace mkpayload
