#pragma once

#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "ShowMessage.h"

namespace rolvik {

// Where the reading of a file sends what it has to tell about the file. Whoever starts the reading
// chooses: the window and the command-line tool show it to the user, the engine, which has no user
// interface, drops it.
class Diagnostics {
  public:
    virtual ~Diagnostics() = default;
    virtual void Report(std::string_view text, std::string_view caption, MessageIcon icon) = 0;

    void Error(std::string_view text) { Report(text, "Error", MessageIcon::Error); }
};

// Shows every message through ShowMessage, to whatever handler is installed there.
class UserDiagnostics final : public Diagnostics {
  public:
    void Report(std::string_view text, std::string_view caption, MessageIcon icon) override {
        ShowMessage(text, caption, icon);
    }
};

// Drops every message.
class SilentDiagnostics final : public Diagnostics {
  public:
    void Report(std::string_view, std::string_view, MessageIcon) override {}
};

// Hands each distinct message (its text and caption) on once and drops the repeats. A load reports
// through one for its whole run, so that a crafted file with millions of faulty events raises one
// box, not millions.
class DistinctDiagnostics final : public Diagnostics {
  public:
    explicit DistinctDiagnostics(Diagnostics& next) : next_(next) {}

    void Report(std::string_view text, std::string_view caption, MessageIcon icon) override {
        if (shown_.emplace(std::string(text), std::string(caption)).second) {
            next_.Report(text, caption, icon);
        }
    }

  private:
    Diagnostics& next_;
    std::set<std::pair<std::string, std::string>> shown_;
};

}  // namespace rolvik
