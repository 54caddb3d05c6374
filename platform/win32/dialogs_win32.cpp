// Every dialog is a message box without owner window; the texts go to the
// ANSI interface as they are, in code page 932.
#include <windows.h>

#include "platform/dialog_seam.h"

namespace {

UINT iconStyle(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::error:
            return MB_ICONERROR;
        case MessageIcon::question:
            return MB_ICONQUESTION;
        case MessageIcon::information:
            return MB_ICONINFORMATION;
    }
    return MB_ICONERROR;
}

}  // namespace

MessageAnswer presentDialog(const DialogRequest& request) {
    const UINT buttons = request.asksOkCancel ? MB_OKCANCEL : MB_OK;
    const int pressed =
        MessageBoxA(nullptr, request.text, request.title, buttons | iconStyle(request.icon));
    // Cancel, the close box and a box that could not be shown all decline.
    return pressed == IDOK ? MessageAnswer::ok : MessageAnswer::cancel;
}
