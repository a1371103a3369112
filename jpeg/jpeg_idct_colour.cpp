// Frame layout, the scalar inverse DCT and the colour conversions.
#include <algorithm>
#include <bit>

#include "jpeg_internal.h"

using namespace jpeg_detail;

namespace {

// clamp(v) = range_limit_storage.v[v + 256] for v in -256..511 (every sum a conversion
// can form: a sample 0..255 plus a chroma term of at most 227 in magnitude).
struct range_limit_table {
    std::uint8_t v[768];
    constexpr range_limit_table() : v()
    {
        for (int i = 0; i < 768; ++i)
            v[i] = static_cast<std::uint8_t>(std::clamp(i - 256, 0, 255));
    }
};
constexpr range_limit_table range_limit_storage;

// One 8-point LLM inverse transform (13-bit constants), giving the eight
// outputs before descaling, scaled by 2^13, plus `rounding` (every output takes
// exactly one of tmp0e, tmp1e with weight 1, so adding it there adds it to all).
// The arithmetic is 32-bit and wraps (as plain int arithmetic does on
// common targets), written on unsigned numbers so that no input, however large,
// is undefined behaviour; in this modular arithmetic every regrouping of the
// sums gives the same result.
struct idct_out {
    std::uint32_t o0, o1, o2, o3, o4, o5, o6, o7;
};
inline idct_out idct_1d(std::uint32_t i0, std::uint32_t i1, std::uint32_t i2, std::uint32_t i3, std::uint32_t i4,
                        std::uint32_t i5, std::uint32_t i6, std::uint32_t i7, std::uint32_t rounding)
{
    // Even part.
    const std::uint32_t z1 = (i2 + i6) * 4433u;                // 0.541196100
    const std::uint32_t tmp2e = z1 - i6 * 15137u;              // 1.847759065
    const std::uint32_t tmp3e = z1 + i2 * 6270u;               // 0.765366865
    const std::uint32_t tmp0e = ((i0 + i4) << 13) + rounding;
    const std::uint32_t tmp1e = ((i0 - i4) << 13) + rounding;
    const std::uint32_t tmp10 = tmp0e + tmp3e, tmp13 = tmp0e - tmp3e;
    const std::uint32_t tmp11 = tmp1e + tmp2e, tmp12 = tmp1e - tmp2e;
    // Odd part.
    const std::uint32_t z5 = (i7 + i3 + i5 + i1) * 9633u;     // 1.175875602
    const std::uint32_t za = (i7 + i1) * (0u - 7373u);         // 0.899976223
    const std::uint32_t zb = (i5 + i3) * (0u - 20995u);        // 2.562915447
    const std::uint32_t zc = (i7 + i3) * (0u - 16069u) + z5;   // 1.961570560
    const std::uint32_t zd = (i5 + i1) * (0u - 3196u) + z5;    // 0.390180644
    const std::uint32_t tmp0 = i7 * 2446u + za + zc;           // 0.298631336
    const std::uint32_t tmp1 = i5 * 16819u + zb + zd;          // 2.053119869
    const std::uint32_t tmp2 = i3 * 25172u + zb + zc;          // 3.072711026
    const std::uint32_t tmp3 = i1 * 12299u + za + zd;          // 1.501321110
    return {tmp10 + tmp3, tmp11 + tmp2, tmp12 + tmp1, tmp13 + tmp0,
            tmp13 - tmp0, tmp12 - tmp1, tmp11 - tmp2, tmp10 - tmp3};
}

inline std::uint32_t widen(std::int16_t v)
{
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
}

// Pass 1 result (rounding 1024 already added): >> 11, kept as 16 bits.
inline std::int16_t pass1_out(std::uint32_t x)
{
    return static_cast<std::int16_t>(static_cast<std::int32_t>(x) >> 11);
}

// clamp(v + 128) for v = (32-bit value) >> 18, which lies in -8192..8191.
struct sample_limit_table {
    std::uint8_t v[16384];
    constexpr sample_limit_table() : v()
    {
        for (int i = 0; i < 16384; ++i)
            v[i] = static_cast<std::uint8_t>(std::clamp(i - 8192 + 128, 0, 255));
    }
};
constexpr sample_limit_table sample_limit_storage;
constexpr const std::uint8_t* sample_limit = sample_limit_storage.v + 8192;

// Pass 2 rounding: 131072, plus 2^31 so that the unsigned x >> 18 is the
// signed (x - 2^31) >> 18 plus 8192: a table index 0..16383 with no sign
// extension. The sum is the same modulo 2^32 whatever the order.
constexpr std::uint32_t pass2_rounding = 131072u + 0x80000000u;

// Pass 2 result: ((x >> 18) + 128) of the signed sum, clamped.
inline std::uint8_t pass2_out(std::uint32_t x)
{
    return sample_limit_storage.v[x >> 18];
}

// The sample of a column whose rows 1..7 are zero: clamp(((v + 16) >> 5) + 128)
// for its 16-bit row-0 value v, which is what the full transform gives.
inline std::uint8_t dc_sample(std::int32_t v)
{
    return sample_limit[(v + 16) >> 5];
}

// Algorithm 3: rows first, in 16-bit storage, then columns, clamped. Only rows
// 0..rows-1 of the block may be non-zero (from its extent); the others give zero
// rows. A row whose coefficients 1..7 are zero becomes eight copies of
// coefficient 0 x 4, and when only row 0 may be non-zero every column's rows
// 1..7 are zero: these short cuts give exactly what the full transform gives.
void idct_8x8_scalar(const std::int16_t* in, std::uint8_t* out, int rows)
{
    std::int16_t ws[64];
    for (int r = 0; r < rows; ++r) {
        const std::int16_t* p = in + 8 * r;
        std::int16_t* w = ws + 8 * r;
        std::uint64_t lo, hi;
        std::memcpy(&lo, p, 8);
        std::memcpy(&hi, p + 4, 8);
        // coefficients 1..7 zero: the 8 bytes of p[0..3] without p[0]'s lane, and p[4..7]
        constexpr std::uint64_t not_first = std::endian::native == std::endian::little ? ~std::uint64_t(0xFFFF)
                                                                                        : ~(std::uint64_t(0xFFFF) << 48);
        if (((lo & not_first) | hi) == 0) {
            const std::uint64_t dc = static_cast<std::uint16_t>(p[0] * 4) * 0x0001000100010001ull;
            std::memcpy(w, &dc, 8);
            std::memcpy(w + 4, &dc, 8);
            continue;
        }
        const idct_out o = idct_1d(widen(p[0]), widen(p[1]), widen(p[2]), widen(p[3]), widen(p[4]), widen(p[5]),
                                   widen(p[6]), widen(p[7]), 1024u);
        w[0] = pass1_out(o.o0), w[1] = pass1_out(o.o1), w[2] = pass1_out(o.o2), w[3] = pass1_out(o.o3);
        w[4] = pass1_out(o.o4), w[5] = pass1_out(o.o5), w[6] = pass1_out(o.o6), w[7] = pass1_out(o.o7);
    }
    if (rows == 1) {
        for (int c = 0; c < 8; ++c) {
            const std::uint8_t v = dc_sample(ws[c]);
            for (int i = 0; i < 8; ++i)
                out[8 * i + c] = v;
        }
        return;
    }
    if (rows <= 4) {
        // rows 4..7 are zero: the same transform with those inputs 0
        for (int r = rows; r < 4; ++r)
            for (int j = 0; j < 8; ++j)
                ws[8 * r + j] = 0;
        for (int c = 0; c < 8; ++c) {
            const std::int16_t* w = ws + c;
            const idct_out o = idct_1d(widen(w[0]), widen(w[8]), widen(w[16]), widen(w[24]), 0, 0, 0, 0, pass2_rounding);
            out[c] = pass2_out(o.o0), out[8 + c] = pass2_out(o.o1), out[16 + c] = pass2_out(o.o2);
            out[24 + c] = pass2_out(o.o3), out[32 + c] = pass2_out(o.o4), out[40 + c] = pass2_out(o.o5);
            out[48 + c] = pass2_out(o.o6), out[56 + c] = pass2_out(o.o7);
        }
        return;
    }
    for (int r = rows; r < 8; ++r)
        for (int j = 0; j < 8; ++j)
            ws[8 * r + j] = 0;
    for (int c = 0; c < 8; ++c) {
        const std::int16_t* w = ws + c;
        const idct_out o = idct_1d(widen(w[0]), widen(w[8]), widen(w[16]), widen(w[24]), widen(w[32]), widen(w[40]),
                                   widen(w[48]), widen(w[56]), pass2_rounding);
        out[c] = pass2_out(o.o0), out[8 + c] = pass2_out(o.o1), out[16 + c] = pass2_out(o.o2);
        out[24 + c] = pass2_out(o.o3), out[32 + c] = pass2_out(o.o4), out[40 + c] = pass2_out(o.o5);
        out[48 + c] = pass2_out(o.o6), out[56 + c] = pass2_out(o.o7);
    }
}


} // namespace

// Algorithm 1.
void jpeg_decoder::setup_frame_layout()
{
    if (component_count == 1) {
        scan_type_ = 0;
        max_blocks_per_mcu_ = 1;
        mcu_width_ = mcu_height_ = 8;
    } else if (component_count == 3) {
        if (comp_h_samp[1] != 1 || comp_v_samp[1] != 1 || comp_h_samp[2] != 1 || comp_v_samp[2] != 1)
            fail_with_code(-226);
        const int h = comp_h_samp[0], v = comp_v_samp[0];
        if (h == 1 && v == 1) {
            scan_type_ = 1, max_blocks_per_mcu_ = 3, mcu_width_ = 8, mcu_height_ = 8;
        } else if (h == 2 && v == 1) {
            scan_type_ = 2, max_blocks_per_mcu_ = 4, mcu_width_ = 16, mcu_height_ = 8;
        } else if (h == 1 && v == 2) {
            scan_type_ = 3, max_blocks_per_mcu_ = 4, mcu_width_ = 8, mcu_height_ = 16;
        } else if (h == 2 && v == 2) {
            scan_type_ = 4, max_blocks_per_mcu_ = 6, mcu_width_ = 16, mcu_height_ = 16;
        } else {
            fail_with_code(-226);
        }
    } else {
        fail_with_code(-225);
    }
    max_mcus_per_row_ = (image_width + mcu_width_ - 1) / mcu_width_;
    max_mcus_per_col_ = (image_height + mcu_height_ - 1) / mcu_height_;
    bytes_per_pixel_ = scan_type_ == 0 ? 1 : 4;
    padded_bytes_per_line_ = ((image_width + 15) & ~15) * bytes_per_pixel_;
    bytes_per_line_ = image_width * bytes_per_pixel_;
    line_0_ = static_cast<std::uint8_t*>(allocate_zeroed(static_cast<std::size_t>(padded_bytes_per_line_) + 8));
    line_1_ = static_cast<std::uint8_t*>(allocate_zeroed(static_cast<std::size_t>(padded_bytes_per_line_) + 8));
    const std::size_t row_blocks = static_cast<std::size_t>(max_blocks_per_mcu_) * static_cast<std::size_t>(max_mcus_per_row_);
    if (row_blocks > static_cast<std::size_t>(max_row_blocks))
        fail_with_code(-229);
    blocks_per_row_ = static_cast<std::int32_t>(row_blocks);
    row_blocks_ = static_cast<std::int16_t*>(allocate_zeroed(row_blocks * 128 + 8));
    std::memset(row_block_extent_, 64, sizeof row_block_extent_);
    sample_buffer_ = static_cast<std::uint8_t*>(allocate_zeroed(row_blocks * 64 + 8));
    lines_left_ = image_height;
    mcu_lines_left_ = 0;
    build_colour_tables();
}

void jpeg_decoder::build_colour_tables()
{
    for (int i = 0; i < 256; ++i) {
        const int k = i - 128;
        table_r_cr_[i] = (91882 * k + 32768) >> 16;
        table_b_cb_[i] = (116130 * k + 32768) >> 16;
        table_g_cr_[i] = -46802 * k;
        table_g_cb_[i] = -22554 * k + 32768;
    }
}

// Algorithm 2 (the scalar path). A block whose only possibly non-zero
// coefficient is the DC (extent 1) gives 64 equal samples, the value the full
// transform yields for it.
void jpeg_decoder::inverse_dct_row()
{
    const std::int16_t* block = row_blocks_;
    std::uint8_t* out = sample_buffer_;
    for (int i = 0; i < blocks_per_row_; ++i, block += 64, out += 64) {
        const int e = row_block_extent_[i];
        if (e <= 1)
            std::memset(out, dc_sample(static_cast<std::int16_t>(block[0] * 4)), 64);
        else
            idct_8x8_scalar(block, out, extent_rows[e]);
    }
}

// Algorithm 5.
void jpeg_decoder::copy_grey_row()
{
    const int r = mcu_height_ - mcu_lines_left_;
    const std::uint8_t* src = sample_buffer_ + 8 * r;
    std::uint8_t* dst = line_0_;
    for (int m = 0; m < max_mcus_per_row_; ++m, src += 64, dst += 8)
        std::memcpy(dst, src, 8);
}

namespace {

// The conversion's chroma terms for one row of 8 chroma samples (
// algorithm 5): R = clamp(y + r[j]), G = clamp(y + g[j]), B = clamp(y + b[j]).
// The terms are kept plus 256, so that y + term is a non-negative index of the
// clamp table (no term is below -256).
struct chroma_row {
    std::uint32_t r[8], g[8], b[8];
};

inline void chroma_terms(chroma_row& t, const std::uint8_t* cb, const std::uint8_t* cr, const std::int32_t* r_cr,
                         const std::int32_t* g_cb, const std::int32_t* g_cr, const std::int32_t* b_cb)
{
    for (int j = 0; j < 8; ++j) {
        t.r[j] = static_cast<std::uint32_t>(r_cr[cr[j]] + 256);
        t.g[j] = static_cast<std::uint32_t>(((g_cb[cb[j]] + g_cr[cr[j]]) >> 16) + 256);
        t.b[j] = static_cast<std::uint32_t>(b_cb[cb[j]] + 256);
    }
}

// R, G, B at bytes 0, 1, 2 of the pixel; byte 3 is never written.
inline void put_pixel(std::uint8_t* p, std::uint32_t y, const chroma_row& t, int j)
{
    p[0] = range_limit_storage.v[y + t.r[j]];
    p[1] = range_limit_storage.v[y + t.g[j]];
    p[2] = range_limit_storage.v[y + t.b[j]];
}

} // namespace

void jpeg_decoder::convert_unsubsampled_row()
{
    const int r = mcu_height_ - mcu_lines_left_;
    const std::uint8_t* base = sample_buffer_ + 8 * r;
    std::uint8_t* dst = line_0_;
    chroma_row t;
    for (int m = 0; m < max_mcus_per_row_; ++m, base += 192, dst += 32) {
        chroma_terms(t, base + 64, base + 128, table_r_cr_, table_g_cb_, table_g_cr_, table_b_cb_);
        for (int j = 0; j < 8; ++j)
            put_pixel(dst + 4 * j, base[j], t, j);
    }
}

void jpeg_decoder::convert_2x1_subsampled_row()
{
    const int r = mcu_height_ - mcu_lines_left_;
    const std::uint8_t* base = sample_buffer_ + 8 * r;
    std::uint8_t* dst = line_0_;
    chroma_row t;
    for (int m = 0; m < max_mcus_per_row_; ++m, base += 256, dst += 64) {
        chroma_terms(t, base + 128, base + 192, table_r_cr_, table_g_cb_, table_g_cr_, table_b_cb_);
        for (int half = 0; half < 2; ++half) {
            const std::uint8_t* y = base + 64 * half;
            std::uint8_t* o = dst + 32 * half;
            for (int j = 0; j < 4; ++j) {
                put_pixel(o + 8 * j, y[2 * j], t, 4 * half + j);
                put_pixel(o + 8 * j + 4, y[2 * j + 1], t, 4 * half + j);
            }
        }
    }
}

void jpeg_decoder::convert_1x2_subsampled_row()
{
    const int r = mcu_height_ - mcu_lines_left_;
    const std::uint8_t* base = sample_buffer_;
    const int y_row = r < 8 ? 8 * r : 64 + 8 * (r - 8);
    const int c_row = 8 * (r / 2);
    std::uint8_t* d0 = line_0_;
    std::uint8_t* d1 = line_1_;
    chroma_row t;
    for (int m = 0; m < max_mcus_per_row_; ++m, base += 256, d0 += 32, d1 += 32) {
        chroma_terms(t, base + 128 + c_row, base + 192 + c_row, table_r_cr_, table_g_cb_, table_g_cr_, table_b_cb_);
        const std::uint8_t* y = base + y_row;
        for (int j = 0; j < 8; ++j) {
            put_pixel(d0 + 4 * j, y[j], t, j);
            put_pixel(d1 + 4 * j, y[8 + j], t, j);
        }
    }
}

void jpeg_decoder::convert_2x2_subsampled_row()
{
    const int r = mcu_height_ - mcu_lines_left_;
    const std::uint8_t* base = sample_buffer_;
    const int y_row = r < 8 ? 8 * r : 128 + 8 * (r - 8);
    const int c_row = 8 * (r / 2);
    std::uint8_t* d0 = line_0_;
    std::uint8_t* d1 = line_1_;
    chroma_row t;
    for (int m = 0; m < max_mcus_per_row_; ++m, base += 384, d0 += 64, d1 += 64) {
        chroma_terms(t, base + 256 + c_row, base + 320 + c_row, table_r_cr_, table_g_cb_, table_g_cr_, table_b_cb_);
        for (int half = 0; half < 2; ++half) {
            const std::uint8_t* y = base + y_row + 64 * half;
            std::uint8_t* o0 = d0 + 32 * half;
            std::uint8_t* o1 = d1 + 32 * half;
            for (int j = 0; j < 4; ++j) {
                const int c = 4 * half + j;
                put_pixel(o0 + 8 * j, y[2 * j], t, c);
                put_pixel(o0 + 8 * j + 4, y[2 * j + 1], t, c);
                put_pixel(o1 + 8 * j, y[8 + 2 * j], t, c);
                put_pixel(o1 + 8 * j + 4, y[8 + 2 * j + 1], t, c);
            }
        }
    }
}
