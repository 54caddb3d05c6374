#include "frontend/dialogs.h"

#include "engine/job_messages.h"
#include "platform/platform.h"

namespace {
constexpr char kSummaryTitle[] = "Tavrin_gen";
constexpr char kCompletionTitle[] = "info";
// 正常終了
constexpr char kCompletionText[] = "\x90\xb3\x8f\xed\x8fI\x97\xb9";
// このEXEが壊れています.
constexpr char kDamagedExecutableText[] =
    "\x82\xb1\x82\xcc"
    "EXE\x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7.";
}  // namespace

bool confirmSummary(const char* summaryText) {
    return askOkCancel(summaryText, kSummaryTitle) == MessageAnswer::ok;
}

void showCompletion() {
    showMessage(kCompletionText, kCompletionTitle, MessageIcon::information);
}

void showDamagedExecutable() {
    showMessage(kDamagedExecutableText, kErrorTitle, MessageIcon::error);
}
