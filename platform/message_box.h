// Message boxes. The batch converter has no desktop, so by default a box is
// written to stderr as "Title: text" and answered OK; the viewer installs a
// sink that shows a real dialog, and tests install one that records.
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
};

using MessageSink = std::function<MessageAnswer(const MessageRequest&)>;

// The caption of boxes that carry the application's title.
inline constexpr std::string_view kApplicationTitle = "plotdxf";

MessageAnswer ShowMessage(std::string_view text, std::string_view title,
                          MessageButtons buttons = MessageButtons::Ok);

// Replaces the sink; returns the previous one. An empty sink restores stderr.
MessageSink SetMessageSink(MessageSink sink);

} // namespace platform
