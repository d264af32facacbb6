#pragma once

#include <limits>
#include <optional>
#include <span>

namespace rolvik {

class MainWindow;

// One setting that Shift, its letter and a number enter: how the status line shows the number,
// the numbers it takes, and how the window reads and sets it.
struct Option {
    static constexpr int kNoLimit = std::numeric_limits<int>::max();

    char letter;
    const char* format;  // the status line, with the number as its one %d
    int minimum;
    int maximum;
    std::optional<int> (*get)(MainWindow& window);
    void (*set)(MainWindow& window, int number);
    std::span<const char* const> modeNames = {};  // what the numbers of a mode setting stand for
    bool showsNegated = false;                    // the status line shows the number negated

    bool InBounds(int number) const { return number >= minimum && number <= maximum; }
};

// The settings of the keyboard entry, one row a letter, read and set through the window's public
// operations.
class OptionTable {
  public:
    // The row of the letter, or null for a letter that sets nothing.
    static const Option* Find(char letter);
};

}  // namespace rolvik
