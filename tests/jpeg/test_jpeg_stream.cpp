// The file stream, and the memory stream helper.
#include <gtest/gtest.h>

#include "jpeg_decoder.h"
#include "jpeg_memory_stream.h"
#include "jpeg_test_support.h"

using namespace jt;

namespace {
std::string make_file(const std::string& name, std::size_t size)
{
    bytes data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<std::uint8_t>(i * 7);
    const std::string path = temp_dir() + "/" + name;
    write_file(path, data);
    return path;
}
} // namespace

TEST(JpegFileStream, NoOpenFile)
{
    jpeg_decoder_file_stream s;
    std::uint8_t buf[16];
    bool eof = false;
    EXPECT_EQ(s.read(buf, 16, &eof), -1);
    EXPECT_FALSE(eof); // left untouched
    EXPECT_FALSE(s.open((temp_dir() + "/does_not_exist").c_str()));
    EXPECT_EQ(s.read(buf, 16, &eof), -1);
    EXPECT_FALSE(eof);
}

TEST(JpegFileStream, FileShorterThanOneRequest)
{
    jpeg_decoder_file_stream s;
    ASSERT_TRUE(s.open(make_file("short.bin", 10).c_str()));
    std::uint8_t buf[64];
    bool eof = false;
    EXPECT_EQ(s.read(buf, 64, &eof), 10);
    EXPECT_TRUE(eof);
    EXPECT_EQ(buf[3], 21);
    eof = false;
    EXPECT_EQ(s.read(buf, 64, &eof), 0);
    EXPECT_TRUE(eof);
}

TEST(JpegFileStream, ExactMultipleOfTheRequest)
{
    jpeg_decoder_file_stream s;
    ASSERT_TRUE(s.open(make_file("exact.bin", 128).c_str()));
    std::uint8_t buf[64];
    bool eof = false;
    EXPECT_EQ(s.read(buf, 64, &eof), 64);
    EXPECT_FALSE(eof);
    EXPECT_EQ(s.read(buf, 64, &eof), 64);
    EXPECT_FALSE(eof);
    EXPECT_EQ(s.read(buf, 64, &eof), 0); // the read that meets the end
    EXPECT_TRUE(eof);
}

TEST(JpegFileStream, ReopeningClearsTheFlagsAndDecodes)
{
    const bytes a = encode(make_test_image(40, 30, 3, 1), {});
    const bytes b = encode(make_test_image(24, 50, 1, 2), {});
    write_file(temp_dir() + "/a.jpg", a);
    write_file(temp_dir() + "/b.jpg", b);
    jpeg_decoder_file_stream s;
    for (const auto& [name, expected] : {std::pair{"/a.jpg", &a}, std::pair{"/b.jpg", &b}}) {
        ASSERT_TRUE(s.open((temp_dir() + name).c_str()));
        EXPECT_FALSE(s.eof);
        EXPECT_FALSE(s.error);
        jpeg_decoder dec(&s, true); // as the texture loaders do
        ASSERT_EQ(dec.error_code, 0);
        ASSERT_EQ(dec.prepare_output(), 0);
        const decoded want = decode_ours(*expected);
        bytes got;
        const std::uint8_t* line;
        std::uint32_t length;
        for (int y = 0; y < dec.image_height; ++y) {
            ASSERT_EQ(dec.next_scanline(&line, &length), 0);
            got.insert(got.end(), line, line + length);
        }
        EXPECT_EQ(got, want.pixels);
    }
}

TEST(JpegMemoryStream, ShortReadsAndEnd)
{
    const bytes data = {1, 2, 3, 4, 5, 6, 7};
    jpeg_decoder_memory_stream s(data.data(), data.size(), 3);
    std::uint8_t buf[16];
    bool eof = false;
    EXPECT_EQ(s.read(buf, 16, &eof), 3);
    EXPECT_FALSE(eof);
    EXPECT_EQ(s.read(buf, 2, &eof), 2);
    EXPECT_EQ(s.read(buf, 16, &eof), 2);
    EXPECT_TRUE(eof);
    EXPECT_EQ(s.read(buf, 16, &eof), 0);
    EXPECT_TRUE(eof);
}
