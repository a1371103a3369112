// Progressive decoding into whole-image coefficient buffers, and
// loading MCU rows from them. Inside the buffers a block's 64 coefficients are
// kept in zig-zag order (the order the scans address them in); rows are put in
// natural order when they are loaded. Sequential files whose scans are not one
// interleaved scan of the whole frame use the same buffers (their scans are
// gathered with a fifth block decoder that reads whole sequential blocks).
#include <algorithm>
#include <utility>

#include "jpeg_internal.h"

using namespace jpeg_detail;

namespace {

// A correction bit for a coefficient already non-zero (T.81 G.1.2.3): when the
// bit is 1 and the coefficient's p1 bit is clear, p1 is added to a positive
// coefficient and m1 to a negative one. Without branches on the data; the
// reader holds at least one bit.
inline void correct(bit_state& bs, std::int16_t* x, std::int32_t p1, std::int32_t m1)
{
    const std::int32_t v = *x;
    const std::uint32_t bit = static_cast<std::uint32_t>(bs.buf >> 63);
    bs.buf <<= 1;
    bs.cnt -= 1;
    const std::int32_t apply = -static_cast<std::int32_t>(bit & ((v & p1) == 0));
    *x = static_cast<std::int16_t>(v + ((v >= 0 ? p1 : m1) & apply));
}

// block[natural position of k] = coef[k] x q[k] for the 64 zig-zag positions k
// (16-bit results), unrolled so that every position is a constant offset.
template <int... K>
inline void scatter_dequantised_impl(const std::int16_t* coef, const std::int16_t* q, std::int16_t* block,
                                     std::integer_sequence<int, K...>)
{
    ((block[zigzag[K]] = static_cast<std::int16_t>(coef[K] * q[K])), ...);
}

inline void scatter_dequantised(const std::int16_t* coef, const std::int16_t* q, std::int16_t* block)
{
    scatter_dequantised_impl(coef, q, block, std::make_integer_sequence<int, 64>{});
}

enum block_kind { dc_first, dc_refine, ac_first, ac_refine, sequential_block };
// An extent e with extent_rows[e] == n: the first zig-zag index in row n or
// below (64 for n = 8). The inverse DCT then transforms rows 0..n-1.
struct extent_for_rows_table {
    std::uint8_t v[9];
    constexpr extent_for_rows_table() : v()
    {
        v[0] = 1;
        for (int n = 1; n <= 8; ++n) {
            int k = 0;
            while (k < 64 && zigzag[k] / 8 < n)
                ++k;
            v[n] = static_cast<std::uint8_t>(k);
        }
    }
};
constexpr extent_for_rows_table extent_for_rows_storage;
constexpr const std::uint8_t* extent_for_rows = extent_for_rows_storage.v;
} // namespace

jpeg_detail::coefficient_buffer* jpeg_decoder::open_coefficient_buffer(std::int32_t blocks_across,
                                                                       std::int32_t blocks_down)
{
    auto* buffer = static_cast<coefficient_buffer*>(allocate_zeroed(sizeof(coefficient_buffer)));
    // Sizes in size_t; allocate_zeroed caps the length (-233).
    const std::size_t bytes = static_cast<std::size_t>(blocks_across) * static_cast<std::size_t>(blocks_down) *
                              64 * sizeof(std::int16_t);
    buffer->data = static_cast<std::int16_t*>(allocate_zeroed(bytes));
    buffer->blocks_across = blocks_across;
    buffer->blocks_down = blocks_down;
    return buffer;
}

std::int16_t* jpeg_decoder::coefficient_address(coefficient_buffer* buffer, std::int32_t block_x,
                                                std::int32_t block_y)
{
    if (block_x < 0 || block_y < 0 || block_x >= buffer->blocks_across || block_y >= buffer->blocks_down)
        fail_with_code(-229);
    return buffer->data +
           (static_cast<std::size_t>(block_y) * static_cast<std::size_t>(buffer->blocks_across) +
            static_cast<std::size_t>(block_x)) * 64;
}

void jpeg_decoder::allocate_coefficient_buffers()
{
    buffered_ = true;
    // A one-component frame is read with one block per MCU whatever its
    // sampling factors say, so its buffer is the image's block grid.
    for (int c = 0; c < component_count; ++c) {
        const std::int32_t h = component_count == 1 ? 1 : comp_h_samp[c];
        const std::int32_t v = component_count == 1 ? 1 : comp_v_samp[c];
        coeffs_[c] = open_coefficient_buffer(max_mcus_per_row_ * h, max_mcus_per_col_ * v);
    }
    std::memset(coef_al_, -1, sizeof coef_al_);
}

// Algorithm 1.
void jpeg_decoder::setup_progressive()
{
    allocate_coefficient_buffers();
    gather_scans(false);
}

void jpeg_decoder::setup_buffered_sequential()
{
    allocate_coefficient_buffers();
    gather_scans(true);
}

void jpeg_decoder::gather_scans(bool first_scan_started)
{
    for (bool started = first_scan_started;; started = false) {
        if (!started && !start_scan())
            break;
        if (!progressive) {
            // a sequential scan codes its components whole, whatever its header says
            check_progression(0, 63, 0, 0);
            run_progressive_scan<sequential_block>();
        } else {
            if (spectral_start_ > spectral_end_ || spectral_end_ > 63)
                fail_with_code(-230);
            if (spectral_start_ == 0 && spectral_end_ != 0)
                fail_with_code(-230);
            if (spectral_start_ != 0 && scan_component_count_ != 1)
                fail_with_code(-230);
            // T.81 G.1.1.1.2: Al is 0..13, and a refinement lowers it by one.
            if ((successive_high_ != 0 && successive_low_ != successive_high_ - 1) || successive_low_ > 13)
                fail_with_code(-231);
            check_progression(spectral_start_, spectral_end_, successive_high_, successive_low_);
            if (spectral_start_ == 0) {
                if (successive_high_ == 0)
                    run_progressive_scan<dc_first>();
                else
                    run_progressive_scan<dc_refine>();
            } else {
                if (successive_high_ == 0)
                    run_progressive_scan<ac_first>();
                else
                    run_progressive_scan<ac_refine>();
            }
        }
        // Ready for the next marker search: the reader's buffered bits are dropped.
        bits_.buf = 0;
        bits_.cnt = 0;
        bits_.marker = false;
    }
    scan_component_count_ = component_count;
    for (int i = 0; i < component_count; ++i)
        scan_components_[i] = i;
    compute_block_order();
    for (std::int32_t& y : block_y_mcu_)
        y = 0;
    // The quantisation table of each component, as it stands after the last
    // scan. A component whose table is undefined was never in a scan: its
    // coefficients are all zero.
    for (int c = 0; c < component_count; ++c) {
        const int t = comp_quant_[c];
        const std::int16_t* q = t >= 0 && t <= 3 ? quant_tables_[t] : nullptr;
        for (int k = 0; k < 64; ++k)
            row_quant_[c][k] = q ? q[k] : 0;
    }
}

// Every scan walks all of its blocks, so scans are held to the order of
// T.81 G.1.1.1: per component, each coefficient has one first pass, and each
// refinement continues from the Al its last scan left (Al = Ah - 1 is checked
// with the scan header); a sequential scan is a first pass of the whole
// block. That bounds a file to at most 14 scans per coefficient, where
// repeated scans of a large frame would cost minutes.
void jpeg_decoder::check_progression(int ss, int se, int ah, int al)
{
    // a first pass needs a coefficient not yet coded (-1), a refinement its last Al
    const int expected = ah == 0 ? -1 : ah;
    for (int i = 0; i < scan_component_count_; ++i) {
        std::int8_t* last_al = coef_al_[scan_components_[i]];
        for (int k = ss; k <= se; ++k) {
            if (last_al[k] != expected)
                fail_with_code(-234);
            last_al[k] = static_cast<std::int8_t>(al);
        }
    }
}

// Algorithm 2 with the block decoders of algorithm 3 (and the sequential one).
template <int kind>
void jpeg_decoder::run_progressive_scan()
{
    bit_state bs = bits_;
    std::int32_t block_x[4] = {};
    std::int32_t block_y[4] = {};
    const int al = successive_low_;
    const int ss = spectral_start_;
    const int se = spectral_end_;
    const std::int32_t p1 = 1 << al;
    const std::int32_t m1 = -p1;
    const bool one_component = scan_component_count_ == 1;

    auto decode_block = [&](int c, std::int16_t* coef) __attribute__((always_inline)) {
        if (bs.cnt < 32)
            fill_bits(bs);
        if constexpr (kind == dc_first || kind == sequential_block) {
            int s = huffman_decode(bs, huffman_tables_[comp_dc_table_[c]]);
            if (s) {
                if (s > 15)
                    fail_with_code(-227);
                s = extend(get_bits(bs, s), s);
            }
            const std::int16_t dc = static_cast<std::int16_t>(last_dc_[c] + s);
            last_dc_[c] = dc;
            if constexpr (kind == dc_first) {
                coef[0] = static_cast<std::int16_t>(dc * p1);
            } else {
                coef[0] = dc;
                const huffman_table* ac = huffman_tables_[comp_ac_table_[c]];
                for (int k = 1; k < 64; ++k) {
                    if (bs.cnt < 32)
                        fill_bits(bs);
                    const int symbol = huffman_decode(bs, ac);
                    const int r = symbol >> 4;
                    s = symbol & 15;
                    if (s) {
                        k += r;
                        if (k > 63)
                            fail_with_code(-227);
                        coef[k] = static_cast<std::int16_t>(extend(get_bits(bs, s), s));
                    } else if (r == 15) {
                        k += 15;
                        if (k > 63)
                            fail_with_code(-227);
                    } else {
                        break;
                    }
                }
            }
        } else if constexpr (kind == dc_refine) {
            if (get_bits(bs, 1))
                coef[0] = static_cast<std::int16_t>(coef[0] | p1);
        } else if constexpr (kind == ac_first) {
            if (eob_run_ > 0) {
                --eob_run_;
                return;
            }
            const huffman_table* ac = huffman_tables_[comp_ac_table_[c]];
            for (int k = ss; k <= se; ++k) {
                if (bs.cnt < 32)
                    fill_bits(bs);
                const int symbol = huffman_decode(bs, ac);
                const int r = symbol >> 4;
                const int s = symbol & 15;
                if (s) {
                    k += r;
                    if (k > 63)
                        fail_with_code(-227);
                    coef[k] = static_cast<std::int16_t>(extend(get_bits(bs, s), s) * p1);
                } else if (r == 15) {
                    k += 15;
                    if (k > 63)
                        fail_with_code(-227);
                } else {
                    eob_run_ = (1 << r) + static_cast<std::int32_t>(get_bits(bs, r)) - 1;
                    break;
                }
            }
        } else { // ac_refine
            int k = ss;
            if (eob_run_ == 0) {
                const huffman_table* ac = huffman_tables_[comp_ac_table_[c]];
                for (; k <= se; ++k) {
                    if (bs.cnt < 32)
                        fill_bits(bs);
                    const int symbol = huffman_decode(bs, ac);
                    int r = symbol >> 4;
                    int s = symbol & 15;
                    std::int32_t value = 0;
                    if (s) {
                        if (s != 1)
                            fail_with_code(-227);
                        // p1 when the next bit is 1, else m1 (= -p1), without a branch
                        value = m1 + static_cast<std::int32_t>(get_bits(bs, 1) << (al + 1));
                    } else if (r != 15) {
                        eob_run_ = (1 << r) + static_cast<std::int32_t>(get_bits(bs, r));
                        break;
                    }
                    // Correction bits for the non-zero coefficients passed over;
                    // the walk stops at the zero where the run would go below 0.
                    do {
                        std::int16_t* x = coef + k;
                        if (*x != 0) {
                            if (bs.cnt < 1)
                                fill_bits(bs);
                            correct(bs, x, p1, m1);
                        } else if (--r < 0) {
                            break;
                        }
                        ++k;
                    } while (k <= se);
                    if (value != 0 && k < 64)
                        coef[k] = static_cast<std::int16_t>(value);
                }
            }
            if (eob_run_ > 0) {
                // Only the non-zero coefficients take a bit: skip the zero
                // tail of the band first (four at a time).
                int last = se;
                while (last - 3 >= k) {
                    std::uint64_t four;
                    std::memcpy(&four, coef + last - 3, 8);
                    if (four)
                        break;
                    last -= 4;
                }
                while (last >= k && coef[last] == 0)
                    --last;
                for (; k <= last; ++k) {
                    std::int16_t* x = coef + k;
                    if (*x != 0) {
                        if (bs.cnt < 1)
                            fill_bits(bs);
                        correct(bs, x, p1, m1);
                    }
                }
                --eob_run_;
            }
        }
    };

    for (int my = 0; my < mcus_per_col_; ++my) {
        for (int i = 0; i < component_count; ++i)
            block_x[i] = 0;
        for (int mx = 0; mx < mcus_per_row_; ++mx) {
            int x_ofs = 0, y_ofs = 0;
            if (restart_interval_) {
                if (restarts_left_ == 0)
                    process_restart(bs);
                --restarts_left_;
            }
            for (int b = 0; b < blocks_per_mcu_; ++b) {
                const int c = mcu_order_[b];
                decode_block(c, coefficient_address(coeffs_[c], block_x[c] + x_ofs, block_y[c] + y_ofs));
                if (one_component) {
                    ++block_x[c];
                } else if (++x_ofs == comp_h_samp[c]) {
                    x_ofs = 0;
                    if (++y_ofs == comp_v_samp[c]) {
                        y_ofs = 0;
                        block_x[c] += comp_h_samp[c];
                    }
                }
            }
        }
        if (one_component) {
            ++block_y[scan_components_[0]];
        } else {
            for (int i = 0; i < scan_component_count_; ++i)
                block_y[scan_components_[i]] += comp_v_samp[scan_components_[i]];
        }
    }
    bits_ = bs;
}

// Algorithm 4: the next MCU row from the buffers, dequantised, into the row
// blocks. The quantisation tables (zig-zag order) are put in natural order per
// component once all scans are read, so each block is one element-wise
// product; its extent is set from the last row holding a non-zero value (1 for
// a block with only a DC value), which is all the inverse DCT uses of it.
void jpeg_decoder::load_row()
{
    std::int32_t block_x[4] = {};
    const bool one_component = scan_component_count_ == 1;
    std::int16_t* block = row_blocks_;
    std::uint8_t* extent = row_block_extent_;
    for (int mx = 0; mx < mcus_per_row_; ++mx) {
        int x_ofs = 0, y_ofs = 0;
        for (int b = 0; b < blocks_per_mcu_; ++b, block += 64, ++extent) {
            const int c = mcu_order_[b];
            const std::int16_t* src = coefficient_address(coeffs_[c], block_x[c] + x_ofs, block_y_mcu_[c] + y_ofs);
            const std::int16_t* q = row_quant_[c]; // zig-zag order, 0 for an undefined table
            scatter_dequantised(src, q, block);
            std::int16_t rows[8];
            for (int r = 0; r < 8; ++r) {
                std::int16_t any = 0;
                for (int j = 0; j < 8; ++j)
                    any = static_cast<std::int16_t>(any | block[8 * r + j]);
                rows[r] = any;
            }
            int last_row = 7;
            while (last_row > 0 && rows[last_row] == 0)
                --last_row;
            bool dc_only = last_row == 0;
            for (int j = 1; j < 8 && dc_only; ++j)
                dc_only = block[j] == 0;
            *extent = dc_only ? 1 : extent_for_rows[last_row + 1];
            if (one_component) {
                ++block_x[c];
            } else if (++x_ofs == comp_h_samp[c]) {
                x_ofs = 0;
                if (++y_ofs == comp_v_samp[c]) {
                    y_ofs = 0;
                    block_x[c] += comp_h_samp[c];
                }
            }
        }
    }
    if (one_component) {
        ++block_y_mcu_[scan_components_[0]];
    } else {
        for (int i = 0; i < scan_component_count_; ++i)
            block_y_mcu_[scan_components_[i]] += comp_v_samp[scan_components_[i]];
    }
}
