#pragma once

#include "platform/platform.h"

// Where a dialog goes. By default the platform shows it (terminal or message
// box); tests and the fuzzer install a handler to see or silence every dialog
// the program raises, on either platform.
struct DialogRequest {
    const char* text;
    const char* title;
    MessageIcon icon;
    bool asksOkCancel;
};

using DialogHandler = MessageAnswer (*)(const DialogRequest& request);

// Installs `handler` (nullptr restores the platform's own dialogs) and returns
// the previous one.
DialogHandler setDialogHandler(DialogHandler handler);

// The platform's own presentation, implemented once per side.
MessageAnswer presentDialog(const DialogRequest& request);
