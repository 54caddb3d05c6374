#include "platform/dialog_seam.h"

namespace {
DialogHandler installedHandler = nullptr;

MessageAnswer dispatch(const DialogRequest& request) {
    return installedHandler != nullptr ? installedHandler(request) : presentDialog(request);
}
}  // namespace

DialogHandler setDialogHandler(DialogHandler handler) {
    const DialogHandler previous = installedHandler;
    installedHandler = handler;
    return previous;
}

void showMessage(const char* text, const char* title, MessageIcon icon) {
    dispatch(DialogRequest{text, title, icon, false});
}

MessageAnswer askOkCancel(const char* text, const char* title) {
    return dispatch(DialogRequest{text, title, MessageIcon::question, true});
}
