#include "core/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

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

class WriteFileAtomicallyInFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("rolvik-fileio-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    static void Put(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    static std::string Get(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::size_t EntryCount() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }

    fs::path folder_;
};

// A save killed halfway leaves its temporary file; the next save of the same file takes it over,
// writes over all of it and renames it away.
TEST_F(WriteFileAtomicallyInFolder, TakesOverWhatAKilledSaveLeftBehind) {
    const fs::path song = folder_ / "song.mmf";
    Put(song, "old");
    Put(fs::path(song) += ".rolvik-tmp", "half of a much longer song");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(song, ByteVector{'n', 'e', 'w'}, error)) << error;
    EXPECT_EQ(Get(song), "new");
    EXPECT_EQ(EntryCount(), 1u);
}

// A failure names the file the user asked for, keeps what stood there and leaves nothing behind.
TEST_F(WriteFileAtomicallyInFolder, FailureNamesTheUsersPathAndLeavesNothingBehind) {
    const fs::path folderInTheWay = folder_ / "song.mmf";
    fs::create_directory(folderInTheWay);
    for (const fs::path& path : {folderInTheWay, folder_ / "missing" / "song.mmf"}) {
        std::string error;
        EXPECT_FALSE(WriteFileAtomically(path, ByteVector{1, 2, 3}, error));
        EXPECT_EQ(error.rfind("cannot write " + path.string() + ": ", 0), 0u) << error;
        EXPECT_EQ(error.find("rolvik-tmp"), std::string::npos) << error;
    }
    EXPECT_TRUE(fs::is_directory(folderInTheWay));
    EXPECT_EQ(EntryCount(), 1u);
}

}  // namespace
}  // namespace rolvik
