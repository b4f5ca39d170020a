#include "platform/message_box.h"

#include "platform/printable_text.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

MessageSink DefaultSink() {
    const char* unattended = std::getenv(kUnattendedVariable);
    const bool nobodyThere = unattended != nullptr && *unattended != '\0';
    return nobodyThere ? MessageSink(WriteMessageToStderr) : MessageSink(ShowSystemMessageBox);
}

MessageSink& CurrentSink() {
    static MessageSink sink = DefaultSink();
    return sink;
}

std::string& CurrentProgramName() {
    static std::string name = "plotdxf";
    return name;
}

void WriteWarningToStderr(std::string_view text) {
    std::string line = ProgramName() + ": warning: ";
    line += text;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

WarningSink& CurrentWarningSink() {
    static WarningSink sink = WriteWarningToStderr;
    return sink;
}

} // namespace

const std::string& ProgramName() {
    return CurrentProgramName();
}

void SetProgramName(std::string name) {
    CurrentProgramName() = std::move(name);
}

void Warn(std::string_view text) {
    CurrentWarningSink()(PrintableText(text));
}

WarningSink SetWarningSink(WarningSink sink) {
    WarningSink previous = std::move(CurrentWarningSink());
    CurrentWarningSink() = sink ? std::move(sink) : WarningSink(WriteWarningToStderr);
    return previous;
}

MessageAnswer WriteMessageToStderr(const MessageRequest& request) {
    std::string line = request.title.empty() ? request.text : request.title + ": " + request.text;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return MessageAnswer::Ok;
}

MessageAnswer ShowMessage(std::string_view text, std::string_view title, MessageButtons buttons,
                          std::string_view detail) {
    return CurrentSink()(MessageRequest{PrintableText(text, LineFeeds::Kept), PrintableText(title),
                                        buttons, PrintableText(detail, LineFeeds::Kept)});
}

MessageSink SetMessageSink(MessageSink sink) {
    MessageSink previous = std::move(CurrentSink());
    CurrentSink() = sink ? std::move(sink) : DefaultSink();
    return previous;
}

} // namespace platform
