#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "Bytes.h"

namespace rolvik {

// No song, MIDI file or voice set comes near this size; reading stops here, so that a device that
// never ends (or a huge file named by mistake) is refused instead of filling the memory.
inline constexpr std::size_t kMaxReadFileBytes = 64 * 1024 * 1024;

enum class ReadFailure { CannotOpen, NoMemory, CannotRead, TooLarge };
// What a caller says for each ReadFailure, in its order.
using ReadFailureTexts = std::array<std::string, 4>;
// The text for a file past kMaxReadFileBytes.
std::string TooLargeToReadText();

// The whole file, or nothing with the reason in `failure`. A folder cannot be opened as a file.
std::optional<ByteVector> ReadWholeFile(const std::filesystem::path& path, ReadFailure& failure);
// The whole file, or nothing when it cannot be opened or read.
std::optional<ByteVector> ReadWholeFile(const std::filesystem::path& path);

// Writes the bytes to a temporary file beside `path` ("PATH.rolvik-tmp"), syncs it to the disk and
// renames it into place, so that neither a failure nor a crash leaves a half-written file where the
// old one was. Saves of one file take turns on that temporary file, and each takes over one that a
// killed save left behind. A device or pipe at `path` is written to directly. On failure returns
// false and sets `error` to a message that names `path`.
bool WriteFileAtomically(const std::filesystem::path& path, Bytes bytes, std::string& error);

// A file written piece by piece through its descriptor that appears at `path` whole or not at all,
// for outputs too large to hold in memory: the pieces go to the temporary file beside it, which
// Commit syncs and renames into place as WriteFileAtomically does. Dropped without Commit, it
// removes the temporary file. `path` must not be a device or pipe (see IsDeviceOrPipe).
class AtomicFileWriter {
  public:
    // Null when the temporary file cannot be made, with a message that names `path` in `error`.
    static std::unique_ptr<AtomicFileWriter> Open(const std::filesystem::path& path,
                                                  std::string& error);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    int descriptor() const { return fd_; }
    bool Commit(std::string& error);

  private:
    AtomicFileWriter(std::filesystem::path path, int fd);

    std::filesystem::path path_;
    int fd_;
    bool committed_ = false;
};

// Whether something other than a file or folder stands at `path`: a device or a pipe, which is
// written in place rather than replaced.
bool IsDeviceOrPipe(const std::filesystem::path& path);

}  // namespace rolvik
