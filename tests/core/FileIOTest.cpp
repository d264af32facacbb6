#include "core/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

namespace rolvik {
namespace {

namespace fs = std::filesystem;

// What stands at the path and is no file (here a pipe; /dev/stdout and /dev/full alike) is written
// to, never replaced by a file renamed over it.
TEST(WriteFileAtomically, WritesIntoAPipeInsteadOfReplacingIt) {
    const fs::path pipe =
        fs::temp_directory_path() / ("rolvik-fileio-pipe-" + std::to_string(::getpid()));
    fs::remove(pipe);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::string error;
    EXPECT_TRUE(WriteFileAtomically(pipe, ByteVector{7, 8, 9}, error)) << error;
    std::array<std::uint8_t, 8> received{};
    EXPECT_EQ(::read(reader, received.data(), received.size()), 3);
    EXPECT_EQ(received[2], 9);
    EXPECT_TRUE(fs::is_fifo(pipe));
    ::close(reader);
    fs::remove(pipe);
}

}  // namespace
}  // namespace rolvik
