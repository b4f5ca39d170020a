// Windows half of the message boxes: the system's own modal box.
#include "platform/message_box.h"

#include <windows.h>

namespace platform {

MessageAnswer ShowSystemMessageBox(const MessageRequest& request) {
    // Application-modal without an icon, OK alone unless the caller asks for
    // OK and Cancel, owned by the program's active window (the screen view's,
    // when it is shown) so that it stays in front of it. A box that cannot be
    // shown at all counts as OK.
    const UINT buttons = request.buttons == MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK;
    const int answer = MessageBoxA(GetActiveWindow(), request.text.c_str(), request.title.c_str(),
                                   buttons | MB_APPLMODAL);
    return answer == IDCANCEL ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

} // namespace platform
