// Sequential decoding: bit-exact against libjpeg-turbo's coefficients
// through the test-side back end, and close to djpeg -nosmooth -dct int.
#include <gtest/gtest.h>

#include "jpeg_test_support.h"

using namespace jt;

namespace {

struct layout {
    const char* name;
    int components, h0, v0;
};
const layout layouts[] = {
    {"grey", 1, 1, 1}, {"444", 3, 1, 1}, {"422", 3, 2, 1}, {"440", 3, 1, 2}, {"420", 3, 2, 2},
};

void expect_same(const decoded& ours, const decoded& oracle, const std::string& what)
{
    ASSERT_EQ(ours.error, 0) << what << " stage " << ours.stage;
    ASSERT_EQ(oracle.error, 0) << what;
    ASSERT_EQ(ours.width, oracle.width) << what;
    ASSERT_EQ(ours.height, oracle.height) << what;
    ASSERT_EQ(ours.bpp, oracle.bpp) << what;
    ASSERT_EQ(ours.pixels.size(), oracle.pixels.size()) << what;
    std::size_t first = ours.pixels.size();
    std::size_t count = 0;
    for (std::size_t i = 0; i < ours.pixels.size(); ++i) {
        if (ours.pixels[i] != oracle.pixels[i]) {
            first = std::min(first, i);
            ++count;
        }
    }
    EXPECT_EQ(count, 0u) << what << ": first difference at byte " << first << " (pixel "
                         << (first / ours.bpp) % std::max(ours.width, 1) << ", line "
                         << first / ours.bpp / std::max(ours.width, 1) << ")";
}

void check_bit_exact(const image& img, const encode_options& o, const std::string& what, int chunk = 0)
{
    const bytes file = encode(img, o);
    expect_same(decode_ours(file, chunk), decode_oracle(file), what);
}

} // namespace

TEST(JpegSequential, BitExactAllLayoutsAndSizes)
{
    const int sizes[][2] = {{1, 1}, {17, 17}, {37, 23}, {8, 8}, {16, 16}, {33, 65}, {640, 480}};
    for (const layout& l : layouts) {
        for (const auto& s : sizes) {
            const image img = make_test_image(s[0], s[1], l.components, s[0] * 31 + s[1]);
            encode_options o;
            o.h0 = l.h0, o.v0 = l.v0;
            check_bit_exact(img, o, std::string(l.name) + " " + std::to_string(s[0]) + "x" + std::to_string(s[1]));
        }
    }
}

TEST(JpegSequential, BitExactWithRestartMarkers)
{
    for (const layout& l : layouts) {
        for (int interval : {1, 3, 7}) {
            const image img = make_test_image(123, 77, l.components, 5 + interval);
            encode_options o;
            o.h0 = l.h0, o.v0 = l.v0;
            o.restart_interval = interval;
            check_bit_exact(img, o, std::string(l.name) + " restart " + std::to_string(interval));
        }
        const image img = make_test_image(200, 90, l.components, 99);
        encode_options o;
        o.h0 = l.h0, o.v0 = l.v0;
        o.restart_rows = 1;
        check_bit_exact(img, o, std::string(l.name) + " restart every row");
    }
}

TEST(JpegSequential, BitExactAtQualityOneWithSixteenBitTables)
{
    for (const layout& l : layouts) {
        const image img = make_test_image(97, 61, l.components, 1234);
        encode_options o;
        o.h0 = l.h0, o.v0 = l.v0;
        o.quality = 1;
        o.force_baseline = false;
        const bytes file = encode(img, o);
        // the file really holds 16-bit tables and an extended-sequential frame
        const std::size_t dqt = find_marker(file, 0xDB);
        EXPECT_EQ(file[dqt + 4] >> 4, 1) << l.name;
        EXPECT_NO_THROW(find_marker(file, 0xC1)) << l.name;
        expect_same(decode_ours(file), decode_oracle(file), std::string(l.name) + " q1");
    }
}

TEST(JpegSequential, BitExactAtOtherQualitiesAndOptimisedTables)
{
    for (const layout& l : layouts) {
        for (int q : {5, 50, 100}) {
            const image img = make_test_image(75, 41, l.components, static_cast<std::uint32_t>(q));
            encode_options o;
            o.h0 = l.h0, o.v0 = l.v0;
            o.quality = q;
            o.optimize = q == 50;
            check_bit_exact(img, o, std::string(l.name) + " q" + std::to_string(q));
        }
    }
}

TEST(JpegSequential, BitExactLarge4000x3000)
{
    for (const layout& l : {layouts[0], layouts[4], layouts[1]}) {
        const image img = make_test_image(4000, 3000, l.components, 42);
        encode_options o;
        o.h0 = l.h0, o.v0 = l.v0;
        check_bit_exact(img, o, std::string(l.name) + " 4000x3000");
    }
    const image img = make_test_image(4000, 3000, 3, 43);
    encode_options o;
    o.restart_interval = 5;
    check_bit_exact(img, o, "420 4000x3000 restart 5");
}

TEST(JpegSequential, ShortReadsGiveTheSameLines)
{
    const image img = make_test_image(150, 100, 3, 7);
    encode_options o;
    o.restart_interval = 2;
    const bytes file = encode(img, o);
    const decoded whole = decode_ours(file);
    for (int chunk : {1, 3, 17, 4095, 4097}) {
        const decoded part = decode_ours(file, chunk);
        ASSERT_EQ(part.error, 0) << chunk;
        EXPECT_EQ(part.pixels, whole.pixels) << chunk;
    }
}

TEST(JpegSequential, CloseToDjpeg)
{
    if (!have_tool("djpeg"))
        GTEST_FAIL() << "djpeg (libjpeg-turbo-progs) is not installed";
    for (const layout& l : layouts) {
        for (int q : {75, 95}) {
            const image img = make_test_image(301, 203, l.components, static_cast<std::uint32_t>(q + l.h0));
            encode_options o;
            o.h0 = l.h0, o.v0 = l.v0;
            o.quality = q;
            const bytes file = encode(img, o);
            const decoded ours = decode_ours(file);
            const decoded dj = decode_djpeg(file);
            ASSERT_EQ(ours.error, 0);
            ASSERT_EQ(dj.error, 0);
            ASSERT_EQ(ours.width, dj.width);
            ASSERT_EQ(ours.height, dj.height);
            const difference d = compare_with_djpeg(ours, dj);
            if (l.components == 1) {
                EXPECT_LE(d.max, 1) << l.name << " q" << q;
            } else {
                EXPECT_LE(d.max, 3) << l.name << " q" << q;
                EXPECT_LE(d.rmse, 0.35) << l.name << " q" << q;
            }
            RecordProperty(std::string("djpeg_") + l.name + "_q" + std::to_string(q),
                           std::to_string(d.max) + " / " + std::to_string(d.rmse));
        }
    }
}

// Sequential files with one component per scan (as real encoders can write
// them) are gathered into coefficient buffers and decode exactly.
TEST(JpegSequential, NonInterleavedScansDecodeExactly)
{
    for (const layout& l : {layouts[1], layouts[2], layouts[3], layouts[4]}) {
        const image img = make_test_image(71, 45, 3, 17);
        encode_options o;
        o.h0 = l.h0, o.v0 = l.v0;
        o.scans = {{1, {0}, 0, 63, 0, 0}, {1, {1}, 0, 63, 0, 0}, {1, {2}, 0, 63, 0, 0}};
        const bytes file = encode(img, o);
        EXPECT_NO_THROW(find_marker(file, 0xC0));
        const decoded ours = decode_ours(file);
        expect_same(ours, decode_oracle(file), std::string(l.name) + " non-interleaved");
        // the same image written interleaved decodes to the same lines
        encode_options interleaved = o;
        interleaved.scans.clear();
        EXPECT_EQ(ours.pixels, decode_ours(encode(img, interleaved)).pixels) << l.name;
        // luma alone, then both chroma interleaved
        o.scans = {{1, {0}, 0, 63, 0, 0}, {2, {1, 2}, 0, 63, 0, 0}};
        o.restart_interval = 3;
        expect_same(decode_ours(encode(img, o)), decode_oracle(encode(img, o)),
                    std::string(l.name) + " Y then CbCr, restarts");
    }
}
