// Scan set-up, Huffman decoding tables, sequential MCU rows and
// restart markers.
#include <algorithm>

#include "jpeg_internal.h"

using namespace jpeg_detail;

// Algorithm 1.
bool jpeg_decoder::start_scan()
{
    if (!find_scan_header())
        return false;
    // Every scan walks the frame again: a crafted file could repeat scans
    // without end, so their number is capped.
    if (++scans_seen_ > max_scans)
        fail_with_code(-229);
    compute_block_order();
    check_huffman_tables();
    check_quant_tables();
    for (std::int32_t& dc : last_dc_)
        dc = 0;
    eob_run_ = 0;
    if (restart_interval_) {
        restarts_left_ = restart_interval_;
        next_restart_number_ = 0;
    }
    realign_for_scan();
    return true;
}

void jpeg_decoder::start_sequential()
{
    if (!start_scan())
        fail_with_code(-216);
}

// A sequential file is decoded row by row while its first scan holds every
// frame component in frame order (the interleaved layout); any
// other first scan (one component per scan, as real encoders may write, or
// another order) makes the decoder gather all scans into coefficient buffers
// first, as for a progressive file.
bool jpeg_decoder::first_scan_streams() const
{
    if (progressive || scan_component_count_ != component_count)
        return false;
    for (int i = 0; i < scan_component_count_; ++i)
        if (scan_components_[i] != i)
            return false;
    return true;
}

// Algorithm 2.
void jpeg_decoder::compute_block_order()
{
    for (int c = 0; c < component_count; ++c) {
        comp_h_blocks_[c] = ((image_width * comp_h_samp[c] + max_h_samp_ - 1) / max_h_samp_ + 7) / 8;
        comp_v_blocks_[c] = ((image_height * comp_v_samp[c] + max_v_samp_ - 1) / max_v_samp_ + 7) / 8;
    }
    if (scan_component_count_ == 1) {
        const int c = scan_components_[0];
        mcus_per_row_ = comp_h_blocks_[c];
        mcus_per_col_ = comp_v_blocks_[c];
        blocks_per_mcu_ = 1;
        mcu_order_[0] = c;
        return;
    }
    mcus_per_row_ = ((image_width + 7) / 8 + max_h_samp_ - 1) / max_h_samp_;
    mcus_per_col_ = ((image_height + 7) / 8 + max_v_samp_ - 1) / max_v_samp_;
    blocks_per_mcu_ = 0;
    for (int i = 0; i < scan_component_count_; ++i) {
        const int c = scan_components_[i];
        const int n = comp_h_samp[c] * comp_v_samp[c];
        if (blocks_per_mcu_ + n > 10)
            fail_with_code(-229);
        for (int j = 0; j < n; ++j)
            mcu_order_[blocks_per_mcu_++] = c;
    }
}

// Algorithm 3 (a).
void jpeg_decoder::check_huffman_tables()
{
    for (int i = 0; i < scan_component_count_; ++i) {
        const int c = scan_components_[i];
        if (spectral_start_ == 0) {
            const int t = comp_dc_table_[c];
            if (t < 0 || t > 7 || !huffman_counts_[t])
                fail_with_code(-223);
        }
        if (spectral_end_ > 0) {
            const int t = comp_ac_table_[c];
            if (t < 0 || t > 7 || !huffman_counts_[t])
                fail_with_code(-223);
        }
    }
    for (int t = 0; t < 8; ++t) {
        if (!huffman_counts_[t])
            continue;
        if (!huffman_tables_[t])
            huffman_tables_[t] = static_cast<huffman_table*>(allocate_zeroed(sizeof(huffman_table)));
        build_huffman_table(t, huffman_tables_[t]);
    }
}

// Algorithm 3 (b).
void jpeg_decoder::check_quant_tables()
{
    for (int i = 0; i < scan_component_count_; ++i) {
        const int q = comp_quant_[scan_components_[i]];
        if (q < 0 || q > 3 || !quant_tables_[q])
            fail_with_code(-222);
    }
}

// Algorithm 4, then the lookahead tables derived from it: for every 10-bit
// prefix, the result of the plain decoding (8-bit look-up, then tree steps).
void jpeg_decoder::build_huffman_table(int index, huffman_table* t)
{
    constexpr int la = huffman_table::lookahead_bits;
    const std::uint8_t* counts = huffman_counts_[index];
    const std::uint8_t* values = huffman_values_[index];
    std::memset(t, 0, sizeof *t);
    std::int32_t lookup[256] = {};
    std::int32_t next_free = -1;
    auto new_node = [&]() {
        const std::int32_t node = next_free;
        if (1 - node >= huffman_table::tree_entries) // cannot happen for a table that is not over-subscribed
            fail_with_code(-200);
        next_free -= 2;
        return node;
    };
    std::uint32_t codes[256];
    std::uint8_t lengths[256];
    std::uint32_t code = 0;
    int k = 0;
    for (int len = 1; len <= 16; ++len) {
        for (int i = 0; i < counts[len]; ++i, ++k, ++code) {
            const int symbol = values[k];
            codes[k] = code;
            lengths[k] = static_cast<std::uint8_t>(len);
            t->code_size[symbol] = static_cast<std::uint8_t>(len);
            if (len <= 8) {
                const std::uint32_t first = code << (8 - len);
                for (std::uint32_t j = 0; j < (1u << (8 - len)); ++j)
                    lookup[first + j] = symbol;
                continue;
            }
            std::int32_t& root = lookup[code >> (len - 8)];
            if (root == 0)
                root = new_node();
            std::int32_t node = root;
            for (int bit = len - 9; bit > 0; --bit) {
                std::int16_t& child = t->tree[-node - static_cast<int>((code >> bit) & 1)];
                if (child == 0)
                    child = static_cast<std::int16_t>(new_node());
                node = child;
            }
            t->tree[-node - static_cast<int>(code & 1)] = static_cast<std::int16_t>(symbol);
        }
        code <<= 1;
    }
    for (int idx = 0; idx < (1 << la); ++idx) {
        std::int32_t v = lookup[idx >> (la - 8)];
        if (v >= 0) {
            t->fast[idx] = (t->code_size[v] << 8) | v;
            continue;
        }
        int consumed = 8;
        while (v < 0 && consumed < la) {
            v = t->tree[-v - ((idx >> (la - 1 - consumed)) & 1)];
            ++consumed;
        }
        t->fast[idx] = v >= 0 ? ((consumed << 8) | v) : v;
    }
    // Codes with their value bits, where the plain decoding consumes exactly
    // the code's own length (a symbol listed twice keeps the slow path).
    for (int i = 0; i < k; ++i) {
        const int symbol = values[i];
        const int len = lengths[i];
        const int size = symbol & 15;
        if (len > la || t->code_size[symbol] != len)
            continue;
        if (symbol == 0) {
            const std::uint32_t first = codes[i] << (la - len);
            for (std::uint32_t fill = 0; fill < (1u << (la - len)); ++fill)
                t->fast_ac[first + fill] = huffman_table::fast_ac_eob | len;
            continue;
        }
        if (size == 0 || len + size > la)
            continue;
        const int run = symbol >> 4;
        for (std::uint32_t bits = 0; bits < (1u << size); ++bits) {
            const int value = extend(bits, size);
            const std::uint32_t prefix = (codes[i] << size) | bits;
            const int spare = la - len - size;
            for (std::uint32_t fill = 0; fill < (1u << spare); ++fill)
                t->fast_ac[(prefix << spare) | fill] =
                    static_cast<std::int32_t>(static_cast<std::uint32_t>(value) << 16) | (run << 8) | (len + size);
        }
    }
}

// Algorithm 6.
void jpeg_decoder::decode_row()
{
    struct block_info {
        const huffman_table* dc;
        const huffman_table* ac;
        const std::int16_t* q;
        std::int32_t* last_dc;
    } info[10];
    for (int b = 0; b < blocks_per_mcu_; ++b) {
        const int c = mcu_order_[b];
        info[b] = {huffman_tables_[comp_dc_table_[c]], huffman_tables_[comp_ac_table_[c]],
                   quant_tables_[comp_quant_[c]], &last_dc_[c]};
    }
    bit_state bs = bits_;
    std::int16_t* block = row_blocks_;
    std::uint8_t* extent = row_block_extent_;
    for (int m = 0; m < mcus_per_row_; ++m) {
        if (restart_interval_) {
            if (restarts_left_ == 0)
                process_restart(bs);
            --restarts_left_;
        }
        for (int b = 0; b < blocks_per_mcu_; ++b, block += 64, ++extent) {
            const block_info& bi = info[b];
            const std::int16_t* q = bi.q;
            if (bs.cnt < 32)
                fill_bits(bs);
            int s = huffman_decode(bs, bi.dc);
            if (s) {
                if (s > 15)
                    fail_with_code(-227);
                s = extend(get_bits(bs, s), s);
            }
            // The predictor wraps to 16 bits (no signed overflow).
            const std::int16_t dc = static_cast<std::int16_t>(*bi.last_dc + s);
            *bi.last_dc = dc;
            // Only the rows that the block's previous contents reached can
            // hold stale values (row_block_extent); clear those, then write the
            // new coefficients.
            const int e = *extent;
            if (e > 1)
                std::memset(block, 0, 16 * static_cast<std::size_t>(extent_rows[e]));
            block[0] = static_cast<std::int16_t>(dc * q[0]);
            int k = 1;
            while (k < 64) {
                if (bs.cnt < huffman_table::lookahead_bits)
                    fill_bits(bs);
                const std::int32_t f = bi.ac->fast_ac[bs.buf >> (64 - huffman_table::lookahead_bits)];
                if (f & huffman_table::fast_ac_eob) {
                    const int total = f & 31;
                    bs.buf <<= total;
                    bs.cnt -= total;
                    break;
                }
                if (f) {
                    const int total = f & 31;
                    bs.buf <<= total;
                    bs.cnt -= total;
                    k += (f >> 8) & 15;
                    if (k > 63)
                        fail_with_code(-227);
                    block[zigzag[k]] = static_cast<std::int16_t>((f >> 16) * q[k]);
                    ++k;
                    continue;
                }
                if (bs.cnt < 32)
                    fill_bits(bs);
                const int symbol = huffman_decode(bs, bi.ac);
                const int r = symbol >> 4;
                s = symbol & 15;
                if (s) {
                    k += r;
                    if (k > 63)
                        fail_with_code(-227);
                    block[zigzag[k]] = static_cast<std::int16_t>(extend(get_bits(bs, s), s) * q[k]);
                    ++k;
                } else if (r == 15) {
                    if (k + 15 > 63)
                        fail_with_code(-227);
                    k += 16;
                } else {
                    break;
                }
            }
            *extent = static_cast<std::uint8_t>(k);
        }
    }
    bits_ = bs;
}

// Algorithm 7.
void jpeg_decoder::process_restart(bit_state& bs)
{
    int budget = 1536;
    int c;
    while ((c = next_byte(bs)) != 0xFF) {
        if (--budget <= 0)
            fail_with_code(-228);
    }
    while ((c = next_byte(bs)) == 0xFF) {
        if (--budget <= 0)
            fail_with_code(-228);
    }
    if (c != 0xD0 + next_restart_number_)
        fail_with_code(-228);
    for (std::int32_t& dc : last_dc_)
        dc = 0;
    restarts_left_ = restart_interval_;
    eob_run_ = 0;
    next_restart_number_ = (next_restart_number_ + 1) & 7;
    bs.buf = 0;
    bs.cnt = 0;
    bs.marker = false;
    fill_bits_slow(bs);
}
