#include "FileIO.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <stdexcept>
#include <system_error>

#include <unistd.h>

namespace rolvik {

std::optional<ByteVector> ReadWholeFile(const std::filesystem::path& path, ReadFailure& failure) {
    std::error_code error;
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, error)) {
        failure = ReadFailure::CannotOpen;
        return std::nullopt;
    }
    ByteVector bytes;
    try {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::bad_alloc&) {
        failure = ReadFailure::NoMemory;
        return std::nullopt;
    } catch (const std::length_error&) {
        failure = ReadFailure::NoMemory;
        return std::nullopt;
    }
    if (in.bad()) {
        failure = ReadFailure::CannotRead;
        return std::nullopt;
    }
    return bytes;
}

std::optional<ByteVector> ReadWholeFile(const std::filesystem::path& path) {
    ReadFailure failure{};
    return ReadWholeFile(path, failure);
}

namespace {

// Writes the bytes to `path` as it is, without creating or replacing anything.
bool WriteInPlace(const std::filesystem::path& path, Bytes bytes, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
        error = "cannot write " + path.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// Something other than a file already stands at the path: a device or a pipe (/dev/stdout,
// /dev/full). Renaming a file over it would replace the device instead of writing to it.
bool IsExistingNonFile(const std::filesystem::path& path) {
    std::error_code ignored;
    const auto status = std::filesystem::status(path, ignored);
    return std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
           !std::filesystem::is_directory(status);
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, Bytes bytes, std::string& error) {
    if (IsExistingNonFile(path)) {
        return WriteInPlace(path, bytes, error);
    }
    std::filesystem::path temporary = path;
    temporary += ".tmp-" + std::to_string(::getpid());
    if (!WriteInPlace(temporary, bytes, error)) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    std::error_code renameError;
    std::filesystem::rename(temporary, path, renameError);
    if (renameError) {
        error = "cannot replace " + path.string() + ": " + renameError.message();
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

}  // namespace rolvik
