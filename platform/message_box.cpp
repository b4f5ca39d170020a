#include "platform/message_box.h"

#include <cstdio>

namespace platform {

namespace {

MessageAnswer WriteToStderr(const MessageRequest& request) {
    std::string line = request.title.empty() ? request.text : request.title + ": " + request.text;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return MessageAnswer::Ok;
}

MessageSink& CurrentSink() {
    static MessageSink sink = WriteToStderr;
    return sink;
}

} // namespace

MessageAnswer ShowMessage(std::string_view text, std::string_view title, MessageButtons buttons) {
    return CurrentSink()(MessageRequest{std::string(text), std::string(title), buttons});
}

MessageSink SetMessageSink(MessageSink sink) {
    MessageSink previous = std::move(CurrentSink());
    CurrentSink() = sink ? std::move(sink) : MessageSink(WriteToStderr);
    return previous;
}

} // namespace platform
