// POSIX half of the message boxes: the batch converter has no desktop here,
// so the system's box is the line on stderr.
#include "platform/message_box.h"

namespace platform {

MessageAnswer ShowSystemMessageBox(const MessageRequest& request) {
    return WriteMessageToStderr(request);
}

} // namespace platform
