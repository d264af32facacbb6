#pragma once

#include <atomic>
#include <csignal>

namespace rolvik::cli {

// While it lives, SIGINT (Ctrl+C) and SIGTERM set `requested` instead of ending the process, so
// that work in progress can stop cleanly; the previous handlers come back afterwards.
class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    static const std::atomic<bool>& requested();

  private:
    struct sigaction previousInterrupt_ {};
    struct sigaction previousTerminate_ {};
};

}  // namespace rolvik::cli
