#include "tests/support/dialog_recorder.h"

namespace {
DialogRecorder* activeRecorder = nullptr;
}

DialogRecorder::DialogRecorder(MessageAnswer answer) : answer_(answer) {
    activeRecorder = this;
    previous_ = setDialogHandler(&DialogRecorder::record);
}

DialogRecorder::~DialogRecorder() {
    setDialogHandler(previous_);
    activeRecorder = nullptr;
}

MessageAnswer DialogRecorder::record(const DialogRequest& request) {
    activeRecorder->dialogs_.push_back(
        RecordedDialog{request.text, request.title, request.icon, request.asksOkCancel});
    return request.asksOkCancel ? activeRecorder->answer_ : MessageAnswer::ok;
}
