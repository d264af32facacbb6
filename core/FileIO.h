#pragma once

#include <array>
#include <filesystem>
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

}  // namespace rolvik
