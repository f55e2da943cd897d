// The loaders' whole-file read: sizes around its chunk and its limit, and the names that are not
// regular files (a directory, a pipe), whose reported sizes cannot be trusted.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/win32/whole_file.h"

namespace {

std::string WriteFile(const std::filesystem::path& path, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    for (size_t i = 0; i < size; i++) std::fputc(static_cast<int>(i * 7 % 251), file);
    std::fclose(file);
    return path.string();
}

class WholeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("zelk6-whole-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

TEST_F(WholeFileTest, ReadsEveryByteUpToTheLimitAndNoMore) {
    // Around the 64 KiB chunk the reader works in, and a file of several chunks.
    for (size_t size : {size_t{0}, size_t{1}, size_t{65535}, size_t{65536}, size_t{65537},
                        size_t{200000}}) {
        std::string path = WriteFile(dir / "f.bin", size);
        std::vector<uint8_t> bytes(3, 0xEE);  // stale contents must not survive
        int error = 0;
        ASSERT_EQ(ReadWholeFile(path, size, bytes, error), WholeFile::Read) << size;
        ASSERT_EQ(bytes.size(), size);
        for (size_t i = 0; i < size; i++)
            ASSERT_EQ(bytes[i], static_cast<uint8_t>(i * 7 % 251)) << size << " at " << i;
        if (size == 0) continue;
        EXPECT_EQ(ReadWholeFile(path, size - 1, bytes, error), WholeFile::TooLarge) << size;
        EXPECT_TRUE(bytes.empty());
    }
}

TEST_F(WholeFileTest, NamesThatAreNotRegularFiles) {
    std::vector<uint8_t> bytes;
    int error = 0;
    EXPECT_EQ(ReadWholeFile((dir / "missing").string(), 100, bytes, error), WholeFile::NotOpened);
    EXPECT_EQ(error, ENOENT);

    // A directory opens for reading but gives no bytes; its size is not asked for.
    error = 0;
    EXPECT_EQ(ReadWholeFile(dir.string(), size_t{1} << 30, bytes, error), WholeFile::NotRead);
    EXPECT_EQ(error, EISDIR);

    // A pipe reports size 0 and still holds data: it is read to its end.
    std::string fifo = (dir / "pipe").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { WriteFile(fifo, 100000); });
    EXPECT_EQ(ReadWholeFile(fifo, 100000, bytes, error), WholeFile::Read);
    writer.join();
    EXPECT_EQ(bytes.size(), 100000u);
}

}  // namespace
