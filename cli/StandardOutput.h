#pragma once

namespace rolvik::cli {

// Flushes everything written to standard output and tells whether all of it got there. A failure
// (a full disk, a closed pipe, /dev/full) is shown as an error message.
bool FlushStandardOutput();

}  // namespace rolvik::cli
