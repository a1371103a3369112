// Every error code of the decoder reached by a file made in the test, the
// malformed cases it must refuse, and its edge cases. With the
// sanitizer build (AddressSanitizer and UBSan) each also shows that no read or
// write goes out of bounds and no memory is lost.
#include <gtest/gtest.h>

#include <random>

#include "jpeg_decoder_testing.h"
#include "jpeg_internal.h"
#include "jpeg_memory_stream.h"
#include "jpeg_test_support.h"

using namespace jt;

namespace {

const bytes soi = {0xFF, 0xD8};
const bytes eoi = {0xFF, 0xD9};

// A hand-built file: flat quantisation `q`, one component per entry of comps
// (ids 1, 2, 3...), the standard luminance tables as DC/AC table 0, one scan
// of all components, entropy data `data`.
bytes hand_file(int width, int height, const std::vector<frame_component>& comps, const bytes& data,
                const bytes& extra_tables = {}, int q = 1, std::uint8_t sof_marker = 0xC0)
{
    std::vector<scan_component> sc;
    for (const auto& c : comps)
        sc.push_back({c.id, 0, 0});
    return concat({soi, dqt(0, flat_quant(q)), sof(sof_marker, width, height, comps),
                   dht(0, 0, std_dc_counts(), std_dc_symbols()), dht(1, 0, std_ac_counts(), std_ac_symbols()),
                   extra_tables, sos(sc, 0, 63, 0, 0), data, eoi});
}

// One block of the standard tables: DC difference 0 ("00"), end of block ("1010").
void zero_block(bit_writer& w)
{
    w.put(0b00, 2);
    w.put(0b1010, 4);
}

bytes zero_blocks(int n)
{
    bit_writer w;
    for (int i = 0; i < n; ++i)
        zero_block(w);
    return w.finish();
}

bytes grey_file(int width = 8, int height = 8)
{
    const int blocks = ((width + 7) / 8) * ((height + 7) / 8);
    return hand_file(width, height, {{1, 1, 1, 0}}, zero_blocks(blocks));
}

// A valid small colour file from libjpeg (4:2:0, 32x32).
bytes colour_file(int restart_interval = 0)
{
    encode_options o;
    o.restart_interval = restart_interval;
    return encode(make_test_image(32, 32, 3, 3), o);
}

int ctor_code(const bytes& file)
{
    jpeg_decoder_memory_stream s(file.data(), file.size());
    jpeg_decoder d(&s, true);
    return d.error_code;
}

// The code a whole decode ends with (0 when it succeeds).
int decode_code(const bytes& file)
{
    return decode_ours(file).error;
}

// Custom tables for crafted entropy data: DC table 0 with symbols 0 ("0"),
// 15 ("10") and 16 ("110"); AC table 0 with EOB ("00"), ZRL ("01"), 0xF1
// ("100") and 0x01 ("101").
bytes crafted_tables()
{
    return concat({dht(0, 0, {1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 15, 16}),
                   dht(1, 0, {0, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0x00, 0xF0, 0xF1, 0x01})});
}

bytes crafted_grey(int width, int height, const bytes& data, int q = 1)
{
    return concat({soi, dqt(0, flat_quant(q)), sof(0xC0, width, height, {{1, 1, 1, 0}}), crafted_tables(),
                   sos({{1, 0, 0}}, 0, 63, 0, 0), data, eoi});
}

// A stream that fails (read returns -1) once `fail_at` bytes have been given.
class failing_stream : public jpeg_decoder_stream {
public:
    failing_stream(const bytes& data, std::size_t fail_at) : data_(data), fail_at_(fail_at) {}
    int read(std::uint8_t* buffer, int max_bytes, bool* eof_flag) override
    {
        if (pos_ >= fail_at_)
            return -1;
        std::size_t n = std::min({static_cast<std::size_t>(max_bytes), data_.size() - pos_, fail_at_ - pos_});
        std::memcpy(buffer, data_.data() + pos_, n);
        pos_ += n;
        if (pos_ == data_.size())
            *eof_flag = true;
        return static_cast<int>(n);
    }
    void on_attach() override { ++attached; }
    void on_detach() override { ++detached; }
    int attached = 0, detached = 0;

private:
    const bytes& data_;
    std::size_t pos_ = 0;
    std::size_t fail_at_;
};

struct hooks_guard {
    ~hooks_guard() { jpeg_decoder_testing::reset_allocation_hooks(); }
};

} // namespace

// ---- the hand-built files themselves decode --------------------------------

TEST(JpegErrors, HandBuiltFilesDecode)
{
    const decoded d = decode_ours(grey_file(17, 9));
    ASSERT_EQ(d.error, 0);
    for (std::uint8_t v : d.pixels)
        EXPECT_EQ(v, 128);
    EXPECT_EQ(decode_oracle(grey_file(17, 9)).pixels, d.pixels);
}

// ---- DHT ---------------------------------------------------------------------

TEST(JpegErrors, Code200TooManyCodesOrOverSubscribed)
{
    std::vector<int> counts(16, 0), symbols;
    counts[14] = 200, counts[15] = 56; // 256 codes
    for (int i = 0; i < 256; ++i)
        symbols.push_back(i & 255);
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, dht(1, 1, counts, symbols))), -200);
    // three codes of length 1 over-subscribe the code space
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, dht(1, 1, {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 2, 3}))),
              -200);
    // a complete code (Kraft sum exactly 1) is accepted
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, dht(1, 1, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 2}))), 0);
}

TEST(JpegErrors, Code201TableIndex)
{
    // class byte 0x14 (bit 4 set, number 4) gives index 8
    bytes t = dht(1, 4, std_dc_counts(), std_dc_symbols());
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, t)), -201);
    t = dht(0, 8, std_dc_counts(), std_dc_symbols());
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, t)), -201);
}

TEST(JpegErrors, Code202DhtLength)
{
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, {0xFF, 0xC4, 0x00, 0x01})), -202);
    // the segment announces 12 symbols but holds only 5 of them
    bytes t = dht(0, 1, std_dc_counts(), std_dc_symbols());
    t[3] = static_cast<std::uint8_t>(t[3] - 7);
    bytes file = insert_at(grey_file(), 2, t);
    EXPECT_EQ(ctor_code(file), -202);
}

// ---- DQT ---------------------------------------------------------------------

TEST(JpegErrors, Code203And204And219Dqt)
{
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, {0xFF, 0xDB, 0x00, 0x01})), -203);
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, dqt(4, flat_quant(1)))), -204);
    bytes short_table = dqt(1, flat_quant(1));
    short_table[3] = 2 + 30; // announces fewer bytes than a table needs
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, short_table)), -219);
    bytes short_wide = dqt(1, flat_quant(1), true);
    short_wide[3] = 2 + 65 + 10;
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, short_wide)), -219);
}

TEST(JpegErrors, SixteenBitTableAndTwoTablesInOneSegment)
{
    // a 16-bit DQT table takes 129 bytes; a DHT segment may hold two tables
    bytes both = dht(0, 0, std_dc_counts(), std_dc_symbols());
    const bytes ac = dht(1, 0, std_ac_counts(), std_ac_symbols());
    both.insert(both.end(), ac.begin() + 4, ac.end());
    const std::size_t len = both.size() - 2;
    both[2] = static_cast<std::uint8_t>(len >> 8), both[3] = static_cast<std::uint8_t>(len & 255);
    const bytes file = concat({soi, dqt(0, flat_quant(300), true), sof(0xC1, 8, 8, {{1, 1, 1, 0}}), both,
                               sos({{1, 0, 0}}, 0, 63, 0, 0), zero_blocks(1), eoi});
    const decoded d = decode_ours(file);
    ASSERT_EQ(d.error, 0);
    EXPECT_EQ(d.pixels, decode_oracle(file).pixels);
}

// ---- frame header ------------------------------------------------------------

TEST(JpegErrors, Code205To209FrameHeader)
{
    auto with_sof = [](const bytes& s) {
        return concat({soi, dqt(0, flat_quant(1)), s, dht(0, 0, std_dc_counts(), std_dc_symbols()),
                       dht(1, 0, std_ac_counts(), std_ac_symbols()), sos({{1, 0, 0}}, 0, 63, 0, 0), zero_blocks(1), eoi});
    };
    EXPECT_EQ(ctor_code(with_sof(sof(0xC0, 8, 8, {{1, 1, 1, 0}}, 12))), -205);
    EXPECT_EQ(ctor_code(with_sof(sof(0xC0, 8, 0, {{1, 1, 1, 0}}))), -206);
    EXPECT_EQ(ctor_code(with_sof(sof(0xC0, 8, 8193, {{1, 1, 1, 0}}))), -206);
    EXPECT_EQ(ctor_code(with_sof(sof(0xC0, 0, 8, {{1, 1, 1, 0}}))), -207);
    EXPECT_EQ(ctor_code(with_sof(sof(0xC0, 8193, 8, {{1, 1, 1, 0}}))), -207);
    EXPECT_EQ(ctor_code(with_sof(sof(0xC0, 8, 8, {{1, 1, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}, {4, 1, 1, 0}, {5, 1, 1, 0}}))),
              -208);
    bytes bad_length = sof(0xC0, 8, 8, {{1, 1, 1, 0}});
    bad_length[3] = 14;
    EXPECT_EQ(ctor_code(with_sof(bad_length)), -209);
    // 8192 x 8192 is the largest frame accepted
    EXPECT_EQ(ctor_code(with_sof(sof(0xC0, 8192, 8192, {{1, 1, 1, 0}}))), 0);
}

// ---- skipped segments, DRI, markers ------------------------------------------

TEST(JpegErrors, Code210And211)
{
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, {0xFF, 0xE0, 0x00, 0x01})), -210);
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, {0xFF, 0xDD, 0x00, 0x05, 0x00, 0x01, 0x00})), -211);
    // a well-formed APP and COM segment are skipped
    const bytes file = insert_at(grey_file(), 2, concat({segment(0xE0, {'J', 'F', 'I', 'F', 0}), segment(0xFE, {'h', 'i'})}));
    EXPECT_EQ(decode_code(file), 0);
}

TEST(JpegErrors, Code215ArithmeticCoding)
{
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, segment(0xCC, {0x00, 0x10}))), -215);
    EXPECT_EQ(ctor_code(concat({soi, dqt(0, flat_quant(1)), sof(0xC9, 8, 8, {{1, 1, 1, 0}}), eoi})), -215);
}

TEST(JpegErrors, Code216UnexpectedMarkers)
{
    // RSTn, TEM and JPG met by the marker loop
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, {0xFF, 0xD0})), -216);
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, {0xFF, 0x01})), -216);
    EXPECT_EQ(ctor_code(insert_at(grey_file(), 2, {0xFF, 0xC8})), -216);
    // a frame or start-of-image marker where a scan header is expected
    const bytes g = grey_file();
    const std::size_t sos_at = find_marker(g, 0xDA);
    EXPECT_EQ(decode_code(insert_at(g, sos_at, sof(0xC0, 8, 8, {{1, 1, 1, 0}}))), -216);
    EXPECT_EQ(decode_code(insert_at(g, sos_at, soi)), -216);
    // a sequential file that ends before its first scan
    EXPECT_EQ(decode_code(concat({bytes(g.begin(), g.begin() + static_cast<std::ptrdiff_t>(sos_at)), eoi})), -216);
    // a file cut off after its frame header: the invented FF D9 ends it
    EXPECT_EQ(decode_code(bytes(g.begin(), g.begin() + static_cast<std::ptrdiff_t>(sos_at))), -216);
}

TEST(JpegErrors, Code217NotAJpeg)
{
    EXPECT_EQ(ctor_code(bytes{'h', 'e', 'l', 'l', 'o'}), -217);
    EXPECT_EQ(ctor_code(bytes(600, 0x42)), -217);
    EXPECT_EQ(ctor_code(bytes{}), -217);
    // junk before the start of image is skipped; FF D8 found by the search
    // must be followed by a marker
    const bytes g = grey_file();
    EXPECT_EQ(decode_code(concat({bytes{1, 2, 3, 4, 5}, g})), 0);
    EXPECT_EQ(decode_code(concat({bytes(500, 7), g})), 0);
    EXPECT_EQ(ctor_code(concat({bytes(511, 7), g})), 0); // FF D8 must begin within the first 512 bytes
    EXPECT_EQ(ctor_code(concat({bytes(512, 7), g})), -217);
    EXPECT_EQ(ctor_code(concat({bytes{1, 2, 0xFF, 0xD8, 0x00}, bytes(g.begin() + 2, g.end())})), -217);
    // the same at offset 0 is accepted
    EXPECT_EQ(decode_code(concat({bytes{0xFF, 0xD8, 0x00}, bytes(g.begin() + 2, g.end())})), 0);
}

TEST(JpegErrors, Code218FrameTypeNotSupported)
{
    EXPECT_EQ(ctor_code(concat({soi, sof(0xC3, 8, 8, {{1, 1, 1, 0}}), eoi})), -218);
    EXPECT_EQ(ctor_code(concat({soi, eoi})), -218);
    EXPECT_EQ(ctor_code(concat({soi, soi, eoi})), -218);
    EXPECT_EQ(ctor_code(concat({soi, sos({{1, 0, 0}}, 0, 63, 0, 0), eoi})), -218);
}

TEST(JpegErrors, FillBytesAndStuffedZerosBetweenSegments)
{
    bytes g = grey_file();
    const std::size_t at = find_marker(g, 0xC0);
    g.insert(g.begin() + static_cast<std::ptrdiff_t>(at), {0xFF, 0xFF, 0xFF});
    EXPECT_EQ(decode_code(g), 0);
    // FF 00 outside scan data is not a marker: skipped with the bytes around it
    bytes h = grey_file();
    h = insert_at(h, find_marker(h, 0xC0), {0x12, 0xFF, 0x00, 0x34});
    EXPECT_EQ(decode_code(h), 0);
}

// ---- scan header -------------------------------------------------------------

TEST(JpegErrors, Code212And213ScanHeader)
{
    const std::vector<frame_component> grey = {{1, 1, 1, 0}};
    auto with_sos = [&](const bytes& s, const std::vector<frame_component>& comps) {
        return concat({soi, dqt(0, flat_quant(1)), sof(0xC0, 8, 8, comps), dht(0, 0, std_dc_counts(), std_dc_symbols()),
                       dht(1, 0, std_ac_counts(), std_ac_symbols()), s, zero_blocks(3), eoi});
    };
    bytes bad_length = sos({{1, 0, 0}}, 0, 63, 0, 0);
    bad_length[3] = 9;
    EXPECT_EQ(decode_code(with_sos(bad_length, grey)), -212);
    EXPECT_EQ(decode_code(with_sos(sos({}, 0, 63, 0, 0), grey)), -212);
    EXPECT_EQ(decode_code(with_sos(sos({{1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}}, 0, 63, 0, 0), grey)), -212);
    // more components than the frame has, or one named twice
    EXPECT_EQ(decode_code(with_sos(sos({{1, 0, 0}, {1, 0, 0}}, 0, 63, 0, 0), grey)), -212);
    const std::vector<frame_component> colour = {{1, 1, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}};
    EXPECT_EQ(decode_code(with_sos(sos({{1, 0, 0}, {2, 0, 0}, {2, 0, 0}}, 0, 63, 0, 0), colour)), -212);
    EXPECT_EQ(decode_code(with_sos(sos({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {1, 0, 0}}, 0, 63, 0, 0), colour)), -212);
    EXPECT_EQ(decode_code(with_sos(sos({{9, 0, 0}}, 0, 63, 0, 0), grey)), -213);
    EXPECT_EQ(decode_code(with_sos(sos({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}}, 0, 63, 0, 0), colour)), 0);
}

TEST(JpegErrors, Code222And223UndefinedTables)
{
    // quantisation table 2 named by the frame but never defined
    EXPECT_EQ(decode_code(hand_file(8, 8, {{1, 1, 1, 2}}, zero_blocks(1))), -222);
    // the AC table never defined (a scan with Se above 0 names it)
    const bytes g = grey_file();
    const std::size_t ac = find_marker(g, 0xC4, find_marker(g, 0xC4) + 2);
    bytes no_ac = g;
    no_ac.erase(no_ac.begin() + static_cast<std::ptrdiff_t>(ac), no_ac.begin() + static_cast<std::ptrdiff_t>(ac + 2 + 0xB5));
    EXPECT_EQ(decode_code(no_ac), -223);
    // table numbers above 7 count as undefined
    const bytes high = concat({soi, dqt(0, flat_quant(1)), sof(0xC0, 8, 8, {{1, 1, 1, 0}}),
                               dht(0, 0, std_dc_counts(), std_dc_symbols()), dht(1, 0, std_ac_counts(), std_ac_symbols()),
                               sos({{1, 9, 0}}, 0, 63, 0, 0), zero_blocks(1), eoi});
    EXPECT_EQ(decode_code(high), -223);
}

TEST(JpegErrors, DcTableNumbersFourToSevenShareTheAcSlots)
{
    // DC table number 5 is index 5 (the slot of AC table 1): accepted
    const bytes file = concat({soi, dqt(0, flat_quant(1)), sof(0xC0, 8, 8, {{1, 1, 1, 0}}),
                               dht(0, 5, std_dc_counts(), std_dc_symbols()), dht(1, 0, std_ac_counts(), std_ac_symbols()),
                               sos({{1, 5, 0}}, 0, 63, 0, 0), zero_blocks(1), eoi});
    EXPECT_EQ(decode_code(file), 0);
}

// ---- layout --------------------------------------------------------------------

TEST(JpegErrors, Code225And226Layouts)
{
    auto frame = [](const std::vector<frame_component>& comps) {
        std::vector<scan_component> sc;
        for (const auto& c : comps)
            sc.push_back({c.id, 0, 0});
        return concat({soi, dqt(0, flat_quant(1)), sof(0xC0, 16, 16, comps), dht(0, 0, std_dc_counts(), std_dc_symbols()),
                       dht(1, 0, std_ac_counts(), std_ac_symbols()), sos(sc, 0, 63, 0, 0), zero_blocks(24), eoi});
    };
    // 2 and 4 components pass the constructor and fail in prepare_output
    decoded d = decode_ours(frame({{1, 1, 1, 0}, {2, 1, 1, 0}}));
    EXPECT_EQ(d.error, -225);
    EXPECT_EQ(d.stage, 2);
    d = decode_ours(frame({{1, 1, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}, {4, 1, 1, 0}}));
    EXPECT_EQ(d.error, -225);
    EXPECT_EQ(d.stage, 2);
    EXPECT_EQ(decode_code(frame({{1, 1, 1, 0}, {2, 2, 1, 0}, {3, 1, 1, 0}})), -226);
    EXPECT_EQ(decode_code(frame({{1, 2, 2, 0}, {2, 1, 1, 0}, {3, 1, 2, 0}})), -226);
    EXPECT_EQ(decode_code(frame({{1, 3, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}})), -226);
    EXPECT_EQ(decode_code(frame({{1, 4, 4, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}})), -226);
    // sampling factors outside 1..4 (0 would divide by zero): refused in the constructor
    EXPECT_EQ(ctor_code(frame({{1, 0, 1, 0}})), -226);
    EXPECT_EQ(ctor_code(frame({{1, 1, 0, 0}})), -226);
    EXPECT_EQ(ctor_code(frame({{1, 5, 1, 0}})), -226);
    EXPECT_EQ(ctor_code(frame({{1, 2, 2, 0}, {2, 1, 15, 0}, {3, 1, 1, 0}})), -226);
    // a one-component frame ignores its (valid) sampling factors
    EXPECT_EQ(decode_code(frame({{1, 4, 3, 0}})), 0);
}

// ---- entropy data ----------------------------------------------------------------

TEST(JpegErrors, Code227CorruptEntropyData)
{
    // runs of 15 zeros before a coefficient (0xF1): 1 -> 17 -> 33 -> 49 -> past 63
    bit_writer w;
    w.put(0b0, 1); // DC difference 0
    for (int i = 0; i < 4; ++i)
        w.put(0b1001, 4); // 0xF1 and a value bit
    decoded d = decode_ours(crafted_grey(8, 8, w.finish()));
    EXPECT_EQ(d.error, -227);
    EXPECT_EQ(d.stage, 3);
    // a sixteen-zero run at k = 49 (49 + 15 = 64)
    bit_writer z;
    z.put(0b0, 1);
    for (int i = 0; i < 4; ++i)
        z.put(0b01, 2);
    EXPECT_EQ(decode_code(crafted_grey(8, 8, z.finish())), -227);
    // three ZRL then a coefficient at 49, then EOB: fine
    bit_writer ok;
    ok.put(0b0, 1);
    for (int i = 0; i < 3; ++i)
        ok.put(0b01, 2);
    ok.put(0b1011, 4);
    ok.put(0b00, 2);
    EXPECT_EQ(decode_code(crafted_grey(8, 8, ok.finish())), 0);
    // DC size 16 (the table may hold it): refused, never shifted out of range
    bit_writer dc;
    dc.put(0b110, 3);
    dc.put(0xFFFF, 16);
    EXPECT_EQ(decode_code(crafted_grey(8, 8, dc.finish())), -227);
}

TEST(JpegErrors, DcPredictorWrapsToSixteenBits)
{
    // 256 x 256 blocks, each adding 32767 to the DC predictor: a 32-bit
    // predictor would overflow; it wraps to 16 bits.
    const int n = 2048;
    bit_writer w;
    for (int i = 0; i < (n / 8) * (n / 8); ++i) {
        w.put(0b10, 2);
        w.put(0x7FFF, 15);
        w.put(0b00, 2);
    }
    const decoded d = decode_ours(crafted_grey(n, n, w.finish()));
    ASSERT_EQ(d.error, 0);
    // block b (counting from 0) has predictor int16((b + 1) * 32767), dequantised
    // by 1; the samples are clamp(((int16(4 * dc) + 16) >> 5) + 128)
    for (int b : {0, 1, 2, 3, 100, 65535}) {
        const std::int16_t dc = static_cast<std::int16_t>((b + 1) * 32767);
        const std::int16_t row = static_cast<std::int16_t>(dc * 4);
        const int expected = std::clamp(((row + 16) >> 5) + 128, 0, 255);
        const int bx = b % (n / 8), by = b / (n / 8);
        EXPECT_EQ(d.pixels[static_cast<std::size_t>(by * 8 + 3) * n + bx * 8 + 5], expected) << b;
    }
}

TEST(JpegErrors, UnmatchedCodeDecodesAsSymbolZero)
{
    // AC table with the single code "0" for EOB; data bits "1..." match no
    // code: decoded as symbol 0 (end of block), the image still completes.
    const bytes file = concat({soi, dqt(0, flat_quant(1)), sof(0xC0, 16, 8, {{1, 1, 1, 0}}),
                               dht(0, 0, std_dc_counts(), std_dc_symbols()),
                               dht(1, 0, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0x00}),
                               sos({{1, 0, 0}}, 0, 63, 0, 0), bytes{0x3F, 0x00}, eoi});
    EXPECT_EQ(decode_code(file), 0);
}

TEST(JpegErrors, Code228RestartMarkers)
{
    const bytes good = colour_file(1);
    EXPECT_EQ(decode_code(good), 0);
    // RST1 where RST0 is due
    bytes bad = good;
    const std::size_t sos_at = find_marker(bad, 0xDA);
    const std::size_t rst = find_marker(bad, 0xD0, sos_at);
    bad[rst + 1] = 0xD1;
    decoded d = decode_ours(bad);
    EXPECT_EQ(d.error, -228);
    EXPECT_EQ(d.stage, 3);
    // the marker missing altogether
    bytes missing = good;
    missing.erase(missing.begin() + static_cast<std::ptrdiff_t>(rst), missing.begin() + static_cast<std::ptrdiff_t>(rst + 2));
    EXPECT_EQ(decode_code(missing), -228);
    // next_scanline answers -227 for any failure; the code stays in error_code
    jpeg_decoder_memory_stream s(bad.data(), bad.size());
    jpeg_decoder dec(&s, true);
    ASSERT_EQ(dec.prepare_output(), 0);
    const std::uint8_t* line = nullptr;
    std::uint32_t length = 0;
    int r = 0;
    for (int i = 0; i < 32 && r == 0; ++i)
        r = dec.next_scanline(&line, &length);
    EXPECT_EQ(r, -227);
    EXPECT_EQ(dec.error_code, -228);
    EXPECT_EQ(dec.next_scanline(&line, &length), -1);
    EXPECT_EQ(dec.prepare_output(), 0); // already prepared: 0, and nothing done
}

TEST(JpegErrors, RestartIntervalNotDividingTheMcuCount)
{
    encode_options o;
    o.restart_interval = 7; // 13 x 9 MCUs
    const bytes file = encode(make_test_image(200, 140, 3, 11), o);
    const decoded d = decode_ours(file);
    ASSERT_EQ(d.error, 0);
    EXPECT_EQ(d.pixels, decode_oracle(file).pixels);
}

TEST(JpegErrors, Code221And233Memory)
{
    hooks_guard guard;
    const bytes file = colour_file();
    jpeg_decoder_testing::set_block_limit(3);
    decoded d = decode_ours(file);
    EXPECT_EQ(d.error, -221);
    jpeg_decoder_testing::reset_allocation_hooks();
    for (int n : {0, 1, 5, 9, 13}) {
        jpeg_decoder_testing::fail_allocation_after(n);
        d = decode_ours(file);
        EXPECT_EQ(d.error, -233) << n;
    }
    jpeg_decoder_testing::reset_allocation_hooks();
    EXPECT_EQ(decode_code(file), 0);
    // the stream is detached when the memory is released after a failure
    jpeg_decoder_testing::fail_allocation_after(0); // the first DQT table, in the constructor
    failing_stream s(file, file.size());
    {
        jpeg_decoder dec(&s, true);
        EXPECT_EQ(dec.error_code, -233);
        EXPECT_EQ(dec.prepare_output(), -1);
    }
    EXPECT_EQ(s.attached, 1);
    EXPECT_EQ(s.detached, 1);
}

TEST(JpegErrors, Code232StreamFailure)
{
    const bytes file = colour_file();
    {
        failing_stream s(file, 0);
        jpeg_decoder dec(&s, true);
        EXPECT_EQ(dec.error_code, -232);
    }
    {
        // the whole small file is read by the first buffer fill, in the constructor
        failing_stream s(file, file.size() - 100);
        jpeg_decoder dec(&s, true);
        EXPECT_EQ(dec.error_code, -232);
    }
    encode_options o;
    const bytes big = encode(make_test_image(300, 300, 3, 4), o);
    ASSERT_GT(big.size(), 9000u);
    failing_stream s(big, 9000);
    jpeg_decoder dec(&s, true);
    ASSERT_EQ(dec.error_code, 0);
    ASSERT_EQ(dec.prepare_output(), 0);
    const std::uint8_t* line;
    std::uint32_t length;
    int r = 0;
    for (int i = 0; i < 300 && r == 0; ++i)
        r = dec.next_scanline(&line, &length);
    EXPECT_EQ(r, -227);
    EXPECT_EQ(dec.error_code, -232);
    EXPECT_EQ(s.detached, 1);
}

// ---- public interface --------------------------------------------------------------

TEST(JpegInterface, CallingOrderAndResults)
{
    const bytes file = grey_file(17, 9);
    jpeg_decoder_memory_stream s(file.data(), file.size());
    jpeg_decoder dec(&s, true);
    ASSERT_EQ(dec.error_code, 0);
    EXPECT_EQ(dec.image_width, 17);
    EXPECT_EQ(dec.image_height, 9);
    EXPECT_EQ(dec.component_count, 1);
    EXPECT_EQ(dec.progressive, 0);
    const std::uint8_t* line = reinterpret_cast<const std::uint8_t*>(&s);
    std::uint32_t length = 12345;
    EXPECT_EQ(dec.next_scanline(&line, &length), -1); // before prepare_output
    EXPECT_EQ(dec.prepare_output(), 0);
    EXPECT_EQ(dec.prepare_output(), 0);
    for (int i = 0; i < 9; ++i) {
        ASSERT_EQ(dec.next_scanline(&line, &length), 0);
        EXPECT_EQ(length, 17u);
    }
    const std::uint8_t* const kept = line;
    length = 777;
    EXPECT_EQ(dec.next_scanline(&line, &length), 1);
    EXPECT_EQ(line, kept);
    EXPECT_EQ(length, 777u);
    EXPECT_EQ(dec.next_scanline(&line, &length), 1);
    EXPECT_FALSE(jpeg_decoder::cpu_has_mmx());
    // a failed decoder answers -1 everywhere
    const bytes junk = {1, 2, 3};
    jpeg_decoder_memory_stream j(junk.data(), junk.size());
    jpeg_decoder bad(&j, false);
    EXPECT_EQ(bad.error_code, -217);
    EXPECT_EQ(bad.prepare_output(), -1);
    EXPECT_EQ(bad.next_scanline(&line, &length), -1);
}

TEST(JpegInterface, OnePixelWideColourAndMidGrey)
{
    // Y = Cb = Cr = 128 everywhere converts to R = G = B = 128, 4 bytes a pixel
    for (const auto& layout : std::vector<std::vector<frame_component>>{
             {{1, 1, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}, {{1, 2, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}},
             {{1, 1, 2, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}, {{1, 2, 2, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}}) {
        const int blocks = layout[0].h * layout[0].v + 2;
        const decoded d = decode_ours(hand_file(1, 33, layout, zero_blocks(blocks * 3)));
        ASSERT_EQ(d.error, 0);
        ASSERT_EQ(d.bpp, 4);
        ASSERT_EQ(d.pixels.size(), 33u * 4);
        for (int i = 0; i < 33; ++i) {
            EXPECT_EQ(d.pixels[4 * i], 128);
            EXPECT_EQ(d.pixels[4 * i + 1], 128);
            EXPECT_EQ(d.pixels[4 * i + 2], 128);
            EXPECT_EQ(d.pixels[4 * i + 3], 0); // never written
        }
    }
}

TEST(JpegInterface, DcOnlyBlockValue)
{
    // a block with only a DC coefficient d (dequantised) gives 64 samples
    // clamp(((4d + 16) >> 5) + 128)
    for (int diff : {-1000, -37, -1, 1, 5, 63, 255}) {
        bit_writer w;
        int size = 0;
        for (int a = diff < 0 ? -diff : diff; a; a >>= 1)
            ++size;
        // standard DC table codes by size
        static const std::uint32_t code[] = {0b00, 0b010, 0b011, 0b100, 0b101, 0b110, 0b1110, 0b11110, 0b111110, 0b1111110, 0b11111110};
        static const int len[] = {2, 3, 3, 3, 3, 3, 4, 5, 6, 7, 8};
        w.put(code[size], len[size]);
        w.put(static_cast<std::uint32_t>(diff < 0 ? diff + (1 << size) - 1 : diff), size);
        w.put(0b1010, 4);
        const int q = 3;
        const decoded d = decode_ours(hand_file(8, 8, {{1, 1, 1, 0}}, w.finish(), {}, q));
        ASSERT_EQ(d.error, 0);
        const int v = std::clamp(((4 * diff * q + 16) >> 5) + 128, 0, 255);
        for (std::uint8_t p : d.pixels)
            ASSERT_EQ(p, v) << diff;
    }
}

TEST(JpegInterface, ReadingZeroBitsConsumesNothing)
{
    jpeg_detail::bit_state bs{};
    bs.buf = 0xA5A5000000000000ull;
    bs.cnt = 16;
    EXPECT_EQ(jpeg_detail::get_bits(bs, 0), 0u);
    EXPECT_EQ(bs.buf, 0xA5A5000000000000ull);
    EXPECT_EQ(bs.cnt, 16);
    EXPECT_EQ(jpeg_detail::get_bits(bs, 3), 0b101u);
    EXPECT_EQ(jpeg_detail::get_bits(bs, 13), 0b0010110100101u);
    EXPECT_EQ(bs.cnt, 0);
}

// ---- Huffman tables with many long codes ---------------------------------------------

TEST(JpegHuffman, TwoHundredFiftyFiveCodesWithLongCodes)
{
    // 255 AC codes of lengths 9..16 (the longest codes spread over many 8-bit
    // prefixes, so the decoding tree is large); data using codes of every length.
    const std::vector<int> counts = {0, 0, 0, 0, 0, 0, 0, 0, 13, 23, 32, 37, 45, 41, 37, 27};
    std::vector<int> symbols;
    for (int s = 0; s < 256; ++s)
        if (s != 0xFF)
            symbols.push_back(s);
    // canonical codes
    std::vector<std::uint32_t> code(256);
    std::vector<int> length(256);
    std::uint32_t c = 0;
    std::size_t k = 0;
    for (int l = 1; l <= 16; ++l) {
        for (int i = 0; i < counts[static_cast<std::size_t>(l - 1)]; ++i, ++k, ++c) {
            code[static_cast<std::size_t>(symbols[k])] = c;
            length[static_cast<std::size_t>(symbols[k])] = l;
        }
        c <<= 1;
    }
    std::mt19937 rng(5);
    bit_writer w;
    const int blocks = 64;
    for (int b = 0; b < blocks; ++b) {
        w.put(0b00, 2); // DC difference 0 (standard DC table)
        int pos = 1;
        while (pos < 60) {
            const int run = static_cast<int>(rng() % 4);
            const int size = 1 + static_cast<int>(rng() % 10);
            if (pos + run > 63)
                break;
            const int sym = (run << 4) | size;
            w.put(code[static_cast<std::size_t>(sym)], length[static_cast<std::size_t>(sym)]);
            w.put(rng() & ((1u << size) - 1), size);
            pos += run + 1;
        }
        w.put(code[0], length[0]); // EOB
    }
    const bytes file = concat({soi, dqt(0, flat_quant(1)), sof(0xC0, 64, 64, {{1, 1, 1, 0}}),
                               dht(0, 0, std_dc_counts(), std_dc_symbols()), dht(1, 0, counts, symbols),
                               sos({{1, 0, 0}}, 0, 63, 0, 0), w.finish(), eoi});
    const decoded ours = decode_ours(file);
    ASSERT_EQ(ours.error, 0);
    const decoded oracle = decode_oracle(file);
    ASSERT_EQ(oracle.error, 0);
    EXPECT_EQ(ours.pixels, oracle.pixels);
}

// ---- truncated and garbage input ---------------------------------------------------

TEST(JpegErrors, TruncatedFilesEndWithACodeOrAPicture)
{
    const bytes file = colour_file(2);
    for (std::size_t n = 0; n < file.size(); n += 7) {
        const bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
        const decoded d = decode_ours(cut, 5);
        if (d.error == 0) {
            EXPECT_EQ(d.width, 32);
        } else {
            EXPECT_LE(d.error, -200);
            EXPECT_GE(d.error, -234);
        }
    }
}

TEST(JpegErrors, FlippedBytesNeverEscape)
{
    const bytes file = colour_file(3);
    std::mt19937 rng(9);
    for (int i = 0; i < 400; ++i) {
        bytes f = file;
        for (int j = 0; j < 3; ++j)
            f[rng() % f.size()] = static_cast<std::uint8_t>(rng());
        const decoded d = decode_ours(f, 1 + static_cast<int>(rng() % 64));
        if (d.error != 0) {
            EXPECT_LE(d.error, -200);
            EXPECT_GE(d.error, -234);
        }
    }
}

TEST(JpegInterface, MetadataSegmentsAreSkipped)
{
    // an EXIF-like APP1 holding a whole thumbnail JPEG (FF D8 ... FF D9 inside
    // the segment), an ICC APP2 and a comment, before the frame and between
    // the scans of a progressive file
    const bytes thumb = encode(make_test_image(16, 16, 3, 1), {});
    const bytes exif = concat({bytes{'E', 'x', 'i', 'f', 0, 0}, thumb});
    const bytes meta = concat({segment(0xE1, exif), segment(0xE2, bytes(300, 0xFF)), segment(0xFE, {'c'})});
    for (bool prog : {false, true}) {
        encode_options o;
        o.progressive = prog;
        const bytes file = encode(make_test_image(50, 30, 3, 2), o);
        const decoded plain = decode_ours(file);
        ASSERT_EQ(plain.error, 0);
        // between the first two scans (found before the thumbnail's own markers
        // are in the file), then right after the start of image
        bytes with_meta = file;
        if (prog)
            with_meta = insert_at(with_meta, find_marker(with_meta, 0xDA, find_marker(with_meta, 0xDA) + 2), meta);
        with_meta = insert_at(with_meta, 2, meta);
        const decoded d = decode_ours(with_meta, 13);
        ASSERT_EQ(d.error, 0) << prog;
        EXPECT_EQ(d.pixels, plain.pixels) << prog;
    }
}
