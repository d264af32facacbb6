#include "OptionTable.h"

#include <array>

#include "MainWindow.h"
#include "ui/pianoroll/PianoRoll.h"
#include "ui/settings/Settings.h"

namespace rolvik {
namespace {

constexpr const char* kDrawFunctions[] = {"No DoubleBuffer",
                                          "DoubleBuffer use CreateDIBSection(SLOW)",
                                          "DoubleBuffer use CreateCompatibleBitmap(Fast?)"};
constexpr const char* kFollowModes[] = {"NoFollow", "AlwaysFollow", "FollowOnShift", "PageFollow"};
constexpr int kLowest = std::numeric_limits<int>::min();

}  // namespace

const Option* OptionTable::Find(char letter) {
    using W = MainWindow;
    static const std::array<Option, 12> kOptions = {{
        {'D', "Draw Function: %d", 0, 2,
         [](W&) -> std::optional<int> { return CurrentSettings().drawFunction; },
         [](W&, int number) { CurrentSettings().drawFunction = number; }, kDrawFunctions},
        {'F', "Follow play: %d", 0, 3,
         [](W&) -> std::optional<int> { return static_cast<int>(CurrentSettings().followPlay); },
         [](W&, int number) { CurrentSettings().followPlay = static_cast<FollowPlay>(number); },
         kFollowModes},
        {'G', "GoTo: %d [ms]", 0, Option::kNoLimit,
         [](W& w) -> std::optional<int> {
             return w.document() ? std::optional<int>(static_cast<int>(w.playPosition()))
                                 : std::nullopt;
         },
         [](W& w, int number) { w.GoTo(static_cast<std::uint32_t>(number)); }},
        {'H', "PianoRoll's Height: %d", 1, Option::kNoLimit,
         [](W& w) -> std::optional<int> { return w.pianoRoll().rowHeight(); },
         [](W& w, int number) { w.pianoRoll().SetRowHeight(number); }},
        {'K', "KeyPitch: %d", -12, 12,
         [](W& w) -> std::optional<int> { return w.playback().keyPitch(); },
         [](W& w, int number) { w.playback().SetKeyPitch(number); }},
        {'M', "MoveTo: %d", 0, Option::kNoLimit,
         [](W& w) -> std::optional<int> { return static_cast<int>(w.pianoRoll().ViewStartTime()); },
         [](W& w, int number) { w.pianoRoll().MoveView(number, 0); }},
        {'O', "PlayVisibleOnly: %d", 0, 1,
         [](W&) -> std::optional<int> { return CurrentSettings().playVisibleOnly; },
         [](W& w, int number) {
             CurrentSettings().playVisibleOnly = number;
             w.playback().SetTrackFilter(number == 1 ? w.pianoRoll().visibleTrack() : kAllTracks);
         }},
        {'R', "Refresh Rate: %d [ms]", 1, Option::kNoLimit,
         [](W&) -> std::optional<int> { return CurrentSettings().refreshRate; },
         [](W& w, int number) {
             CurrentSettings().refreshRate = number;
             w.playTimers().SetRefreshRate(number);
         }},
        {'S',
         "Follow space: %d [px]",
         kLowest,
         Option::kNoLimit,
         [](W&) -> std::optional<int> { return -CurrentSettings().followSpace; },
         [](W&, int number) { CurrentSettings().followSpace = -number; },
         {},
         true},
        {'T', "Tempo: %d", 70, 130, [](W& w) -> std::optional<int> { return w.playback().tempo(); },
         [](W& w, int number) { w.playback().SetTempo(number); }},
        {'V', "Volume: %d", 0, 127,
         [](W& w) -> std::optional<int> { return w.playback().volume(); },
         [](W& w, int number) { w.playback().SetVolume(number); }},
        {'W', "PianoRoll's Width divider: %d", 1, Option::kNoLimit,
         [](W& w) -> std::optional<int> { return w.pianoRoll().widthDivider(); },
         [](W& w, int number) { w.pianoRoll().SetWidthDivider(number); }},
    }};
    for (const Option& option : kOptions) {
        if (option.letter == letter) {
            return &option;
        }
    }
    return nullptr;
}

}  // namespace rolvik
