#include "FileIO.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <new>
#include <stdexcept>
#include <system_error>
#include <utility>

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
        constexpr std::size_t kBlockBytes = 64 * 1024;
        while (in && bytes.size() <= kMaxReadFileBytes) {
            const std::size_t filled = bytes.size();
            bytes.resize(filled + kBlockBytes);
            in.read(reinterpret_cast<char*>(bytes.data() + filled), kBlockBytes);
            bytes.resize(filled + static_cast<std::size_t>(in.gcount()));
        }
    } catch (const std::bad_alloc&) {
        failure = ReadFailure::NoMemory;
        return std::nullopt;
    } catch (const std::length_error&) {
        failure = ReadFailure::NoMemory;
        return std::nullopt;
    }
    if (bytes.size() > kMaxReadFileBytes) {
        failure = ReadFailure::TooLarge;
        return std::nullopt;
    }
    if (in.bad()) {
        failure = ReadFailure::CannotRead;
        return std::nullopt;
    }
    return bytes;
}

std::string TooLargeToReadText() {
    return "The file holds more than the " + std::to_string(kMaxReadFileBytes) +
           " bytes it may have";
}

std::optional<ByteVector> ReadWholeFile(const std::filesystem::path& path) {
    ReadFailure failure{};
    return ReadWholeFile(path, failure);
}

namespace {

// How often a save takes the temporary file again when another save renamed it away between
// opening and locking it.
constexpr int kLockAttempts = 16;

// Owns one open descriptor.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&&) = delete;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Gives up ownership: the caller closes the descriptor.
    int Release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

// Every message names the file the user asked for, never the temporary file behind it.
bool Fail(const std::filesystem::path& path, std::string& error, int code = errno) {
    error = "cannot write " + path.string() + ": " + std::strerror(code);
    return false;
}

bool WriteAll(int fd, Bytes bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes the bytes to `path` as it is, without creating or replacing anything.
bool WriteInPlace(const std::filesystem::path& path, Bytes bytes, std::string& error) {
    const FileDescriptor out(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (!out.valid() || !WriteAll(out.get(), bytes)) {
        return Fail(path, error);
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

// Every save of one file goes through the same temporary file beside it, so that one left behind
// by a save that was killed is taken over and renamed away by the next.
std::filesystem::path TemporaryFor(const std::filesystem::path& path) {
    std::filesystem::path temporary = path;
    temporary += ".rolvik-tmp";
    return temporary;
}

bool IsStillAt(int fd, const std::filesystem::path& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Opens the temporary file, for reading too (an encoder reads back what it wrote), locked against
// every other save of the same file. A save that held the
// lock before may have renamed the file into place meanwhile; then the lock is on the saved file
// and the temporary file is taken afresh.
FileDescriptor LockTemporary(const std::filesystem::path& temporary) {
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        FileDescriptor fd(::open(temporary.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
        if (!fd.valid()) {
            return fd;
        }
        if (::flock(fd.get(), LOCK_EX) != 0) {
            return FileDescriptor(-1);
        }
        if (IsStillAt(fd.get(), temporary)) {
            return fd;
        }
    }
    errno = EBUSY;
    return FileDescriptor(-1);
}

// The folder's own entry for the renamed file reaches the disk only when the folder is synced.
void SyncFolderOf(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) {
        ::fsync(fd.get());
    }
}

}  // namespace

bool IsDeviceOrPipe(const std::filesystem::path& path) {
    return IsExistingNonFile(path);
}

std::unique_ptr<AtomicFileWriter> AtomicFileWriter::Open(const std::filesystem::path& path,
                                                         std::string& error) {
    FileDescriptor fd = LockTemporary(TemporaryFor(path));
    if (!fd.valid() || ::ftruncate(fd.get(), 0) != 0) {
        Fail(path, error);
        return nullptr;
    }
    return std::unique_ptr<AtomicFileWriter>(new AtomicFileWriter(path, fd.Release()));
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path path, int fd)
    : path_(std::move(path)), fd_(fd) {}

AtomicFileWriter::~AtomicFileWriter() {
    if (!committed_) {
        ::unlink(TemporaryFor(path_).c_str());
    }
    ::close(fd_);
}

bool AtomicFileWriter::Commit(std::string& error) {
    const std::filesystem::path temporary = TemporaryFor(path_);
    if (::fsync(fd_) != 0 || ::rename(temporary.c_str(), path_.c_str()) != 0) {
        return Fail(path_, error);
    }
    committed_ = true;
    SyncFolderOf(path_);
    return true;
}

bool WriteFileAtomically(const std::filesystem::path& path, Bytes bytes, std::string& error) {
    if (IsExistingNonFile(path)) {
        return WriteInPlace(path, bytes, error);
    }
    const std::filesystem::path temporary = TemporaryFor(path);
    const FileDescriptor fd = LockTemporary(temporary);
    if (!fd.valid()) {
        return Fail(path, error);
    }
    // The data reaches the disk before the name does: a crash after the rename finds the new
    // bytes, one before it the old file.
    if (::ftruncate(fd.get(), 0) != 0 || !WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 ||
        ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        return Fail(path, error, code);
    }
    SyncFolderOf(path);
    return true;
}

}  // namespace rolvik
