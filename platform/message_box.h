// Message boxes. By default a box is the system's own: a modal box on
// Windows, a line "Title: text" on stderr answered OK where the batch
// converter has no desktop. The viewer installs a sink that shows a Qt
// dialog, and tests install one that records.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform {

enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

struct MessageRequest {
    std::string text;
    std::string title;
    MessageButtons buttons = MessageButtons::Ok;
    // More about the message, for boxes that can show it below the text; the
    // classic boxes (stderr, the system's box) show the text alone.
    std::string detail;
};

using MessageSink = std::function<MessageAnswer(const MessageRequest&)>;

// The program's name ("plotdxf", "plotdxf-view"): the caption of the boxes
// that carry the application's title, and what its messages start with.
const std::string& ProgramName();
// Named once, at the start of main(); "plotdxf" until then.
void SetProgramName(std::string name);

// Set to a non-empty value, this environment variable sends every box to
// stderr and answers it OK, so that no run waits for a user who is not there.
inline constexpr const char* kUnattendedVariable = "PLOTDXF_UNATTENDED";

// Whatever the sink, the text and title it gets are printable
// (platform/printable_text.h): the lines of the text are kept, any other
// control character and invalid byte is escaped.
MessageAnswer ShowMessage(std::string_view text, std::string_view title,
                          MessageButtons buttons = MessageButtons::Ok,
                          std::string_view detail = {});

// Replaces the sink; returns the previous one. An empty sink restores the
// default: stderr when unattended, else the system's box.
MessageSink SetMessageSink(MessageSink sink);

// Writes the box to stderr as "Title: text" and answers OK.
MessageAnswer WriteMessageToStderr(const MessageRequest& request);

// A warning that needs no answer and stops nothing: by default a line on
// stderr ("plotdxf: warning: text"), whichever sink shows the boxes. The
// sink gets the text printable, on one line.
void Warn(std::string_view text);

// Replaces where warnings go; returns the previous one. An empty sink
// restores stderr. Tests record warnings, the fuzz targets drop them.
using WarningSink = std::function<void(std::string_view)>;
WarningSink SetWarningSink(WarningSink sink);

// The system's own box (message_box_posix.cpp, message_box_windows.cpp).
MessageAnswer ShowSystemMessageBox(const MessageRequest& request);

} // namespace platform
