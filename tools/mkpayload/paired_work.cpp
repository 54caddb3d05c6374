#include "tools/mkpayload/paired_work.h"

#include <pthread.h>

namespace mkpayload {

namespace {

struct WorkItem {
    WorkFunction function;
    void* context;
};

void* runWorkItem(void* item) {
    const WorkItem* work = static_cast<const WorkItem*>(item);
    work->function(work->context);
    return nullptr;
}

}  // namespace

void runPaired(WorkFunction first, void* firstContext, WorkFunction second, void* secondContext) {
    WorkItem helperWork{first, firstContext};
    pthread_t helper;
    const bool started = pthread_create(&helper, nullptr, runWorkItem, &helperWork) == 0;
    if (!started) {
        first(firstContext);
    }
    second(secondContext);
    if (started) {
        pthread_join(helper, nullptr);
    }
}

}  // namespace mkpayload
