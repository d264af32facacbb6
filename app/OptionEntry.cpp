#include "OptionEntry.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace rolvik {
namespace {

constexpr const char* kNoLetterYet = "Shift-Option?";

// Typing more digits than an int holds wraps around instead of overflowing.
int Wrapped(std::int64_t value) {
    return static_cast<int>(static_cast<std::uint32_t>(value));
}

std::string Formatted(const char* format, int number) {
    char text[128];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

std::string ModeLine(const char* prefix, int number, const char* const* names, int count) {
    if (number >= 0 && number < count) {
        return Formatted(prefix, number) + ": " + names[number];
    }
    return Formatted(prefix, number) + " (ILLEGAL VALUE)";
}

}  // namespace

void OptionEntry::Begin() {
    active_ = true;
    fresh_ = true;
    number_ = 0;
    letter_ = 0;
    SetStatusText(kNoLetterYet);
}

void OptionEntry::Digit(int digit) {
    number_ = fresh_ ? digit : Wrapped(std::int64_t{number_} * 10 + digit);
    fresh_ = false;
    ShowStatus();
}

void OptionEntry::Backspace() {
    number_ /= 10;
    ShowStatus();
}

void OptionEntry::ChooseLetter(char letter, std::optional<int> currentValue) {
    letter_ = letter;
    fresh_ = true;
    if (currentValue) {
        number_ = *currentValue;
    }
    ShowStatus();
}

void OptionEntry::Negate() {
    number_ = Wrapped(-std::int64_t{number_});
    ShowStatus();
}

OptionEntry::Choice OptionEntry::End() {
    active_ = false;
    return {letter_, number_};
}

void OptionEntry::ShowStatus() {
    if (letter_ == 0) {
        return;
    }
    SetStatusText(OptionStatusLine(letter_, number_));
}

void OptionEntry::SetStatusText(std::string_view text) {
    statusText_.fill(0);
    std::copy_n(text.begin(), std::min(text.size(), statusText_.size() - 1), statusText_.begin());
}

std::string OptionStatusLine(char letter, int number) {
    static constexpr const char* kDrawFunctions[] = {
        "No DoubleBuffer", "DoubleBuffer use CreateDIBSection(SLOW)",
        "DoubleBuffer use CreateCompatibleBitmap(Fast?)"};
    static constexpr const char* kFollowModes[] = {"NoFollow", "AlwaysFollow", "FollowOnShift",
                                                   "PageFollow"};
    switch (letter) {
        case 'D':
            return ModeLine("Draw Function: %d", number, kDrawFunctions, 3);
        case 'F':
            return ModeLine("Follow play: %d", number, kFollowModes, 4);
        case 'G':
            return Formatted("GoTo: %d [ms]", number);
        case 'H':
            return Formatted("PianoRoll's Height: %d", number);
        case 'K':
            return Formatted("KeyPitch: %d", number);
        case 'M':
            return Formatted("MoveTo: %d", number);
        case 'O':
            return Formatted("PlayVisibleOnly: %d", number);
        case 'R':
            return Formatted("Refresh Rate: %d [ms]", number);
        case 'S':
            return Formatted("Follow space: %d [px]", Wrapped(-std::int64_t{number}));
        case 'T':
            return Formatted("Tempo: %d", number);
        case 'V':
            return Formatted("Volume: %d", number);
        case 'W':
            return Formatted("PianoRoll's Width divider: %d", number);
        case kEscapeOption:
            return "(Escape)";
        case kHelpOption:
            return "HELP: View readme. sorry.";
        default:
            return "INVALID TYPE";
    }
}

bool OptionInBounds(char letter, int number) {
    switch (letter) {
        case 'D':
            return number >= 0 && number <= 2;
        case 'F':
            return number >= 0 && number <= 3;
        case 'G':
        case 'M':
            return number >= 0;
        case 'H':
        case 'R':
        case 'W':
            return number > 0;
        case 'K':
            return number >= -12 && number <= 12;
        case 'O':
            return number >= 0 && number <= 1;
        case 'S':
            return true;
        case 'T':
            return number >= 70 && number <= 130;
        case 'V':
            return number >= 0 && number <= 127;
        default:
            return false;
    }
}

}  // namespace rolvik
