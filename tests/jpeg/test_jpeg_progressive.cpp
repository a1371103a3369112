// Progressive decoding: files from cjpeg -progressive, jpegtran
// -progressive, cjpeg -scans and the compress API decode byte-identical to the
// same image's baseline file and bit-exact against the coefficient oracle.
#include <gtest/gtest.h>

#include <cstring>

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

std::string sample_arg(const layout& l)
{
    return l.components == 1 ? "" : " -sample " + std::to_string(l.h0) + "x" + std::to_string(l.v0) + ",1x1,1x1";
}

void expect_decodes_like(const bytes& file, const decoded& reference, const std::string& what)
{
    const decoded ours = decode_ours(file);
    ASSERT_EQ(ours.error, 0) << what << " stage " << ours.stage;
    EXPECT_EQ(ours.width, reference.width) << what;
    EXPECT_EQ(ours.height, reference.height) << what;
    EXPECT_TRUE(ours.pixels == reference.pixels) << what << ": differs from the baseline decode";
    const decoded oracle = decode_oracle(file);
    ASSERT_EQ(oracle.error, 0) << what;
    EXPECT_TRUE(ours.pixels == oracle.pixels) << what << ": differs from the coefficient oracle";
}

bool is_progressive(const bytes& file)
{
    try {
        find_marker(file, 0xC2);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void require_tools()
{
    for (const char* tool : {"cjpeg", "jpegtran"})
        if (!have_tool(tool))
            GTEST_FAIL() << tool << " (libjpeg-turbo-progs) is not installed";
}

// A scan script with spectral selection and several successive-approximation
// steps (EOB runs across blocks in the refinement scans).
const char* deep_script_colour =
    "0,1,2: 0-0, 0, 2;\n"
    "0: 1-5, 0, 3;\n"
    "2: 1-63, 0, 1;\n"
    "1: 1-63, 0, 1;\n"
    "0: 6-63, 0, 3;\n"
    "0: 1-63, 3, 2;\n"
    "0,1,2: 0-0, 2, 1;\n"
    "0: 1-63, 2, 1;\n"
    "0,1,2: 0-0, 1, 0;\n"
    "2: 1-63, 1, 0;\n"
    "1: 1-63, 1, 0;\n"
    "0: 1-63, 1, 0;\n";
const char* deep_script_grey =
    "0: 0-0, 0, 3;\n"
    "0: 1-2, 0, 2;\n"
    "0: 3-63, 0, 2;\n"
    "0: 0-0, 3, 2;\n"
    "0: 1-63, 2, 1;\n"
    "0: 0-0, 2, 1;\n"
    "0: 0-0, 1, 0;\n"
    "0: 1-63, 1, 0;\n";

} // namespace

TEST(JpegProgressive, CjpegAndJpegtranMatchBaseline)
{
    require_tools();
    const std::string dir = temp_dir();
    int n = 0;
    for (const layout& l : layouts) {
        for (const auto& size : {std::pair{61, 45}, std::pair{17, 17}, std::pair{1, 1}, std::pair{37, 23}}) {
            const image img = make_test_image(size.first, size.second, l.components, static_cast<std::uint32_t>(n + 100));
            const std::string base = dir + "/p" + std::to_string(n++);
            write_pnm(base + ".pnm", img);
            for (const std::string restart : {"", " -restart 1", " -restart 3B"}) {
                const std::string opts = " -quality 80" + sample_arg(l) + restart;
                const std::string what = std::string(l.name) + " " + std::to_string(size.first) + "x" +
                                         std::to_string(size.second) + restart;
                ASSERT_EQ(run("cjpeg" + opts + " -outfile '" + base + "_b.jpg' '" + base + ".pnm'"), 0);
                ASSERT_EQ(run("cjpeg -progressive" + opts + " -outfile '" + base + "_p.jpg' '" + base + ".pnm'"), 0);
                ASSERT_EQ(run("jpegtran -progressive" + restart + " -outfile '" + base + "_t.jpg' '" + base + "_b.jpg'"), 0);
                const bytes baseline = read_file(base + "_b.jpg");
                const bytes progressive = read_file(base + "_p.jpg");
                const bytes transcoded = read_file(base + "_t.jpg");
                ASSERT_TRUE(is_progressive(progressive) && is_progressive(transcoded)) << what;
                const decoded reference = decode_ours(baseline);
                ASSERT_EQ(reference.error, 0) << what;
                expect_decodes_like(progressive, reference, what + " cjpeg -progressive");
                expect_decodes_like(transcoded, reference, what + " jpegtran -progressive");
            }
        }
    }
}

TEST(JpegProgressive, CustomScanScripts)
{
    require_tools();
    const std::string dir = temp_dir();
    write_file(dir + "/deep_colour.txt", bytes(deep_script_colour, deep_script_colour + std::strlen(deep_script_colour)));
    write_file(dir + "/deep_grey.txt", bytes(deep_script_grey, deep_script_grey + std::strlen(deep_script_grey)));
    int n = 0;
    for (const layout& l : layouts) {
        const image img = make_test_image(203, 131, l.components, static_cast<std::uint32_t>(n + 7));
        const std::string base = dir + "/s" + std::to_string(n++);
        write_pnm(base + ".pnm", img);
        const std::string script = dir + (l.components == 1 ? "/deep_grey.txt" : "/deep_colour.txt");
        for (const std::string restart : {"", " -restart 2B"}) {
            const std::string opts = " -quality 90" + sample_arg(l) + restart;
            const std::string what = std::string(l.name) + " scans" + restart;
            ASSERT_EQ(run("cjpeg" + opts + " -outfile '" + base + "_b.jpg' '" + base + ".pnm'"), 0);
            ASSERT_EQ(run("cjpeg -scans '" + script + "'" + opts + " -outfile '" + base + "_s.jpg' '" + base + ".pnm'"), 0);
            ASSERT_EQ(run("jpegtran -scans '" + script + "'" + restart + " -outfile '" + base + "_t.jpg' '" + base + "_b.jpg'"), 0);
            const decoded reference = decode_ours(read_file(base + "_b.jpg"));
            ASSERT_EQ(reference.error, 0);
            expect_decodes_like(read_file(base + "_s.jpg"), reference, what + " cjpeg");
            expect_decodes_like(read_file(base + "_t.jpg"), reference, what + " jpegtran");
        }
    }
}

TEST(JpegProgressive, CompressApiProgressionsAndQualityOne)
{
    for (const layout& l : layouts) {
        const image img = make_test_image(77, 59, l.components, 3);
        encode_options o;
        o.h0 = l.h0, o.v0 = l.v0;
        const decoded reference = decode_ours(encode(img, o));
        encode_options p = o;
        p.progressive = true;
        expect_decodes_like(encode(img, p), reference, std::string(l.name) + " simple progression");
        p.restart_interval = 2;
        expect_decodes_like(encode(img, p), reference, std::string(l.name) + " simple progression, restarts");
        p.optimize = true;
        expect_decodes_like(encode(img, p), reference, std::string(l.name) + " optimised, restarts");
        // 16-bit tables at quality 1
        encode_options q1 = o;
        q1.quality = 1;
        q1.force_baseline = false;
        const decoded q1_reference = decode_ours(encode(img, q1));
        q1.progressive = true;
        expect_decodes_like(encode(img, q1), q1_reference, std::string(l.name) + " quality 1");
    }
}

TEST(JpegProgressive, Large4000x3000)
{
    const image img = make_test_image(4000, 3000, 3, 8);
    encode_options o;
    const decoded reference = decode_ours(encode(img, o));
    o.progressive = true;
    expect_decodes_like(encode(img, o), reference, "420 4000x3000 progressive");
}

TEST(JpegProgressive, ShortReads)
{
    encode_options o;
    o.progressive = true;
    o.restart_interval = 3;
    const bytes file = encode(make_test_image(90, 70, 3, 12), o);
    const decoded whole = decode_ours(file);
    ASSERT_EQ(whole.error, 0);
    for (int chunk : {1, 2, 7, 333})
        EXPECT_EQ(decode_ours(file, chunk).pixels, whole.pixels) << chunk;
}

TEST(JpegProgressive, NoScansGiveMidGrey)
{
    // a frame without any scan: all-zero coefficients, flat mid-grey samples;
    // a large 8192 x 8192 colour frame's buffers are sized in size_t
    for (const auto& size : {std::pair{33, 17}, std::pair{8192, 8192}}) {
        const bytes file = concat({bytes{0xFF, 0xD8}, dqt(0, flat_quant(4)),
                                   sof(0xC2, size.first, size.second, {{1, 1, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}),
                                   bytes{0xFF, 0xD9}});
        const decoded d = decode_ours(file);
        ASSERT_EQ(d.error, 0);
        ASSERT_EQ(d.pixels.size(), static_cast<std::size_t>(size.first) * size.second * 4);
        for (std::size_t i = 0; i < d.pixels.size(); i += 4 * 997 + 4) {
            ASSERT_EQ(d.pixels[i], 128);
            ASSERT_EQ(d.pixels[i + 1], 128);
            ASSERT_EQ(d.pixels[i + 2], 128);
        }
    }
}

namespace {

// Offset of the n-th SOS marker (n from 0) of a file.
std::size_t nth_sos(const bytes& file, int n)
{
    std::size_t at = 0;
    for (int i = 0; i <= n; ++i)
        at = find_marker(file, 0xDA, i == 0 ? 0 : at + 2);
    return at;
}

bytes progressive_file(int components = 3)
{
    encode_options o;
    o.progressive = true;
    return encode(make_test_image(40, 24, components, 5), o);
}

// Replaces the scan parameters (Ss, Se, Ah/Al) of the n-th scan.
bytes with_scan_parameters(bytes file, int n, int ss, int se, int ah, int al)
{
    const std::size_t at = nth_sos(file, n);
    const int ns = file[at + 4];
    const std::size_t p = at + 5 + 2 * static_cast<std::size_t>(ns);
    file[p] = static_cast<std::uint8_t>(ss);
    file[p + 1] = static_cast<std::uint8_t>(se);
    file[p + 2] = static_cast<std::uint8_t>((ah << 4) | al);
    return file;
}

struct scan_step {
    std::vector<int> comps; // frame component indices
    int ss, se, ah, al;
};

// A hand-built file (progressive unless another frame marker is given; grey,
// or three components without subsampling) whose scans carry no entropy data:
// the reader then yields 1-bits, which decode as a zero DC difference and as a
// value at every AC position of the band (the most work per block).
bytes scripted_file(int width, int height, int components, const std::vector<scan_step>& scans,
                    std::uint8_t frame_marker = 0xC2)
{
    std::vector<frame_component> frame;
    for (int c = 0; c < components; ++c)
        frame.push_back({c + 1, 1, 1, 0});
    bytes file = concat({bytes{0xFF, 0xD8}, dqt(0, flat_quant(1)), sof(frame_marker, width, height, frame),
                         dht(0, 0, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0x00}),
                         dht(1, 0, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0x00, 0x01})});
    for (const scan_step& s : scans) {
        std::vector<scan_component> comps;
        for (int c : s.comps)
            comps.push_back({c + 1, 0, 0});
        const bytes header = sos(comps, s.ss, s.se, s.ah, s.al);
        file.insert(file.end(), header.begin(), header.end());
    }
    file.insert(file.end(), {0xFF, 0xD9});
    return file;
}

} // namespace

TEST(JpegProgressive, Code230And231ScanParameters)
{
    const bytes file = progressive_file();
    ASSERT_EQ(decode_ours(file).error, 0);
    // Scan 6 of libjpeg's simple progression is the interleaved DC refinement,
    // met when every table is defined (on the first scan the AC tables are not
    // yet, and the table check of the scan start comes first: -223).
    EXPECT_EQ(decode_ours(with_scan_parameters(file, 0, 0, 1, 0, 1)).error, -223);
    // a DC scan with Se = 1
    EXPECT_EQ(decode_ours(with_scan_parameters(file, 6, 0, 1, 0, 1)).error, -230);
    // an AC scan over three components
    EXPECT_EQ(decode_ours(with_scan_parameters(file, 6, 1, 5, 0, 1)).error, -230);
    // Ss above Se; Se above 63
    EXPECT_EQ(decode_ours(with_scan_parameters(file, 1, 6, 5, 0, 2)).error, -230);
    EXPECT_EQ(decode_ours(with_scan_parameters(file, 1, 1, 64, 0, 2)).error, -230);
    // Ah = 2 with Al = 0; Al above 13
    EXPECT_EQ(decode_ours(with_scan_parameters(file, 0, 0, 0, 2, 0)).error, -231);
    EXPECT_EQ(decode_ours(with_scan_parameters(file, 0, 0, 0, 0, 14)).error, -231);
    // the scan header checks of sequential scans hold too
    bytes twice = file;
    const std::size_t at = nth_sos(twice, 0);
    twice[at + 7] = twice[at + 5]; // the second component named as the first
    EXPECT_EQ(decode_ours(twice).error, -212);
}

TEST(JpegProgressive, Code229TooManyScans)
{
    // a valid progression of 1000 scans (one coefficient of one component
    // each, Al from 13 down to 0), then one scan more
    std::vector<scan_step> scans;
    for (int c = 0; c < 3; ++c)
        for (int k = 0; k < 64; ++k)
            for (int al = 13; al >= 0; --al)
                scans.push_back({{c}, k, k, al == 13 ? 0 : al + 1, al});
    scans.resize(1001);
    EXPECT_EQ(decode_ours(scripted_file(16, 8, 3, {scans.begin(), scans.end() - 1})).error, 0);
    EXPECT_EQ(decode_ours(scripted_file(16, 8, 3, scans)).error, -229);
}

TEST(JpegProgressive, Code234ScansOutOfOrder)
{
    const scan_step dc_first = {{0, 1, 2}, 0, 0, 0, 1};
    struct {
        const char* what;
        std::vector<scan_step> scans;
        int error;
    } const cases[] = {
        // each coefficient continues its own progression, per component; AC
        // bands may come before DC; an Al may stay above 0
        {"valid", {dc_first, {{0}, 1, 5, 0, 2}, {{0}, 6, 63, 0, 0}, {{1}, 1, 63, 0, 1}, {{0}, 1, 5, 2, 1},
                   {{0, 1, 2}, 0, 0, 1, 0}, {{0}, 1, 5, 1, 0}}, 0},
        {"AC first, DC per component", {{{1}, 1, 63, 0, 0}, {{0}, 0, 0, 0, 0}, {{1, 2}, 0, 0, 0, 0}}, 0},
        {"first AC pass repeated", {dc_first, {{0}, 1, 63, 0, 0}, {{0}, 1, 63, 0, 0}}, -234},
        {"first AC pass repeated, other Al", {{{2}, 1, 63, 0, 2}, {{2}, 1, 63, 0, 1}}, -234},
        {"overlapping AC bands", {dc_first, {{0}, 1, 5, 0, 0}, {{0}, 5, 9, 0, 0}}, -234},
        {"DC first pass repeated for one component", {dc_first, {{1}, 0, 0, 0, 0}}, -234},
        {"AC refinement without a first pass", {dc_first, {{0}, 1, 63, 1, 0}}, -234},
        {"AC refinement past its first pass's band", {{{0}, 1, 5, 0, 1}, {{0}, 1, 6, 1, 0}}, -234},
        {"AC refinement skipping an Al", {{{0}, 1, 63, 0, 2}, {{0}, 1, 63, 1, 0}}, -234},
        {"AC refinement repeated", {{{0}, 1, 63, 0, 1}, {{0}, 1, 63, 1, 0}, {{0}, 1, 63, 1, 0}}, -234},
        {"DC refinement without a first pass", {{{0}, 0, 0, 1, 0}}, -234},
        {"DC refinement of a component without a first pass", {{{0}, 0, 0, 0, 1}, {{0, 1}, 0, 0, 1, 0}}, -234},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decode_ours(scripted_file(24, 16, 3, c.scans)).error, c.error) << c.what;
    // a sequential file gathered scan by scan, then a component's second scan
    std::vector<scan_step> split = {{{1}, 0, 63, 0, 0}, {{0, 2}, 0, 63, 0, 0}};
    EXPECT_EQ(decode_ours(scripted_file(24, 16, 3, split, 0xC0)).error, 0);
    split.push_back({{1}, 0, 63, 0, 0});
    EXPECT_EQ(decode_ours(scripted_file(24, 16, 3, split, 0xC0)).error, -234);
}

TEST(JpegProgressive, Code234RepeatedFirstPassOfALargeFrame)
{
    // 8192 x 8192 grey, a DC scan, then the same first AC scan again and again
    // (each would decode 63 values in each of a million blocks): refused at
    // the first repeat
    for (int repeats : {100, 1000}) {
        std::vector<scan_step> scans = {{{0}, 0, 0, 0, 0}};
        scans.insert(scans.end(), static_cast<std::size_t>(repeats), scan_step{{0}, 1, 63, 0, 0});
        EXPECT_EQ(decode_ours(scripted_file(8192, 8192, 1, scans)).error, -234) << repeats;
    }
}

TEST(JpegProgressive, Code227RefinementSizeOtherThanOne)
{
    // hand-built 8x8 grey progressive file: DC first (Al 0), AC first 1..63 Al 1,
    // then an AC refinement whose first symbol has size 2
    const bytes tables = concat({dht(0, 0, std_dc_counts(), std_dc_symbols()),
                                 dht(1, 0, {0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0x00, 0x01, 0x02})});
    bit_writer dc;
    dc.put(0b00, 2);
    bit_writer ac; // 0x01 (code 01), value bit 1, then EOB (00)
    ac.put(0b01, 2);
    ac.put(1, 1);
    ac.put(0b00, 2);
    bit_writer refine; // 0x02 (code 10): size 2 in a refinement scan
    refine.put(0b10, 2);
    refine.put(0b11, 2);
    const bytes head = concat({bytes{0xFF, 0xD8}, dqt(0, flat_quant(2)), sof(0xC2, 8, 8, {{1, 1, 1, 0}}), tables,
                               sos({{1, 0, 0}}, 0, 0, 0, 0), dc.finish(), sos({{1, 0, 0}}, 1, 63, 0, 1), ac.finish()});
    EXPECT_EQ(decode_ours(concat({head, bytes{0xFF, 0xD9}})).error, 0);
    EXPECT_EQ(decode_ours(concat({head, sos({{1, 0, 0}}, 1, 63, 1, 0), refine.finish(), bytes{0xFF, 0xD9}})).error, -227);
}

TEST(JpegProgressive, EndOfBandRunsAcrossBlocksAndRestarts)
{
    // a mostly flat picture: long EOB runs (r = 14 with extra bits) in the AC
    // scans, broken by restart intervals
    image img = make_test_image(512, 256, 3, 2);
    for (std::size_t i = 0; i < img.pixels.size(); ++i)
        img.pixels[i] = static_cast<std::uint8_t>(100 + (i % 3) * 20);
    for (int x = 0; x < 512; ++x) // one detailed line
        for (int c = 0; c < 3; ++c)
            img.pixels[(static_cast<std::size_t>(130) * 512 + x) * 3 + c] = static_cast<std::uint8_t>(x * 13 + c * 50);
    encode_options o;
    const decoded reference = decode_ours(encode(img, o));
    o.progressive = true;
    o.optimize = true;
    expect_decodes_like(encode(img, o), reference, "EOB runs");
    o.restart_interval = 5;
    expect_decodes_like(encode(img, o), reference, "EOB runs with restarts");
    o.scans = {{3, {0, 1, 2}, 0, 0, 0, 1}, {1, {0}, 1, 63, 0, 2}, {1, {1}, 1, 63, 0, 1}, {1, {2}, 1, 63, 0, 1},
               {1, {0}, 1, 63, 2, 1},      {3, {0, 1, 2}, 0, 0, 1, 0}, {1, {0}, 1, 63, 1, 0}, {1, {1}, 1, 63, 1, 0},
               {1, {2}, 1, 63, 1, 0}};
    expect_decodes_like(encode(img, o), reference, "refinements with restarts");
}
