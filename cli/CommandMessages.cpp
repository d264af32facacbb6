#include "CommandMessages.h"

#include <memory>
#include <set>
#include <string>
#include <utility>

namespace rolvik::cli {
namespace {

constexpr std::string_view kEmuPlayAdvice = " Use EmuPlay to play accrately.";
constexpr std::string_view kIndent = "  ";

std::string Formatted(std::string_view text, std::string_view caption, bool playsWithEmuPlay) {
    std::string body(text);
    const std::string captionPrefix = std::string(caption) + ": ";
    if (body.starts_with(captionPrefix)) {
        body.erase(0, captionPrefix.size());
    }
    if (const auto advice = body.find(kEmuPlayAdvice);
        playsWithEmuPlay && advice != std::string::npos) {
        body.erase(advice, kEmuPlayAdvice.size());
    }
    std::string line = captionPrefix;
    for (const char c : body) {
        line += c;
        if (c == '\n') {
            line += kIndent;
        }
    }
    return line + '\n';
}

}  // namespace

MessageHandler CommandMessagePrinter(std::ostream& out, bool playsWithEmuPlay) {
    auto shown = std::make_shared<std::set<std::string>>();
    return [&out, playsWithEmuPlay, shown](std::string_view text, std::string_view caption,
                                           MessageIcon) {
        std::string message = Formatted(text, caption, playsWithEmuPlay);
        if (shown->insert(message).second) {
            out << message << std::flush;
        }
    };
}

}  // namespace rolvik::cli
