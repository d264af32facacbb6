#include "cli/CommandMessages.h"

#include <gtest/gtest.h>

#include <sstream>

namespace rolvik::cli {
namespace {

struct Shown {
    std::string_view text;
    std::string_view caption;
};

void ShowAll(std::ostream& out, bool playsWithEmuPlay, std::initializer_list<Shown> messages) {
    const MessageHandler printer = CommandMessagePrinter(out, playsWithEmuPlay);
    for (const Shown& message : messages) {
        printer(message.text, message.caption, MessageIcon::Information);
    }
}

TEST(CommandMessagesTest, CaptionOnceLineBreaksIndentedEachMessageOnce) {
    const Shown handyPhone{"Notice: HPS format.\n(This message will appear several times.)",
                           "Notice"};
    const Shown voiceSet{"Notice: VoiceSet Exclusives. Use EmuPlay to play accrately.", "Notice"};
    std::ostringstream out;
    ShowAll(out, false, {handyPhone, handyPhone, {"Load failed!\nCRC etc.", "Error"}, voiceSet});
    EXPECT_EQ(out.str(),
              "Notice: HPS format.\n  (This message will appear several times.)\n"
              "Error: Load failed!\n  CRC etc.\n"
              "Notice: VoiceSet Exclusives. Use EmuPlay to play accrately.\n");

    std::ostringstream rendering;
    ShowAll(rendering, true, {voiceSet});
    EXPECT_EQ(rendering.str(), "Notice: VoiceSet Exclusives.\n") << "render is EmuPlay";
}

}  // namespace
}  // namespace rolvik::cli
