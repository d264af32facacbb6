#include "OptionEntry.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <span>

#include "OptionTable.h"

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

std::string ModeLine(const char* prefix, int number, std::span<const char* const> names) {
    if (number >= 0 && static_cast<std::size_t>(number) < names.size()) {
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
    if (const Option* option = OptionTable::Find(letter)) {
        const int shown = option->showsNegated ? Wrapped(-std::int64_t{number}) : number;
        if (option->modeNames.empty()) {
            return Formatted(option->format, shown);
        }
        return ModeLine(option->format, shown, option->modeNames);
    }
    switch (letter) {
        case kEscapeOption:
            return "(Escape)";
        case kHelpOption:
            return "HELP: View readme. sorry.";
        default:
            return "INVALID TYPE";
    }
}

bool OptionInBounds(char letter, int number) {
    const Option* option = OptionTable::Find(letter);
    return option && option->InBounds(number);
}

}  // namespace rolvik
