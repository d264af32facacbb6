#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace rolvik {

// The keys that pick what the entry sets besides the letters A to Z.
inline constexpr char kEscapeOption = '\x1b';
inline constexpr char kHelpOption = '/';

// Entering a setting from the keyboard while Shift is held: a letter picks the setting, digits
// type the number, and releasing Shift hands both back to be applied. While it runs, the entry
// owns the status text that the piano roll draws as its status line.
class OptionEntry {
  public:
    struct Choice {
        char letter = 0;  // 0 when no letter was typed
        int number = 0;
    };

    bool active() const { return active_; }
    // Valid while the entry is active; the piano roll only borrows it.
    const char* statusText() const { return statusText_.data(); }

    void Begin();
    void Digit(int digit);
    void Backspace();
    // `currentValue` is the setting's value now, which the number starts from; letters without
    // one keep the number.
    void ChooseLetter(char letter, std::optional<int> currentValue);
    void Negate();
    Choice End();

  private:
    void ShowStatus();
    // Cut to the buffer, which always keeps its closing zero.
    void SetStatusText(std::string_view text);

    bool active_ = false;
    bool fresh_ = true;
    char letter_ = 0;
    int number_ = 0;
    std::array<char, 256> statusText_{};
};

// The status line for a letter and the number typed so far.
std::string OptionStatusLine(char letter, int number);

// Whether a number may be applied to the setting of the letter. The go-to (G) also needs a
// document, which only the caller knows.
bool OptionInBounds(char letter, int number);

}  // namespace rolvik
