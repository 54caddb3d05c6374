#pragma once

#include <string>
#include <vector>

#include "platform/dialog_seam.h"

struct RecordedDialog {
    std::string text;  // code page 932 bytes, as the program passed them
    std::string title;
    MessageIcon icon;
    bool asksOkCancel;
};

// Captures every dialog raised while it lives, instead of showing it, and
// answers questions with a scripted answer. One at a time.
class DialogRecorder {
  public:
    explicit DialogRecorder(MessageAnswer answer = MessageAnswer::ok);
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;
    ~DialogRecorder();

    const std::vector<RecordedDialog>& dialogs() const { return dialogs_; }
    void clear() { dialogs_.clear(); }

  private:
    static MessageAnswer record(const DialogRequest& request);

    MessageAnswer answer_;
    std::vector<RecordedDialog> dialogs_;
    DialogHandler previous_;
};
