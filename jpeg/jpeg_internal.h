// Shared internals of the JPEG decoder: tables, the Huffman decoding table,
// coefficient buffers and the inline parts of the entropy bit reader.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "jpeg_decoder.h"

namespace jpeg_detail {

// Zig-zag index to natural (row-major) index, T.81 Figure A.6; 16 spare entries
// of 63 so that an index just past the end stays inside the block.
inline constexpr std::uint8_t zigzag[64 + 16] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  //
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28, //
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, //
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63, //
    63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63};

// Decoding table of one Huffman table index.
// fast: indexed by the next lookahead_bits bits. A value of 0 or more holds the
// symbol in bits 0..7 and the number of bits to consume in bits 8..12 (codes of
// up to lookahead_bits bits, and symbol 0 for an unmatched prefix);
// a negative value is the tree node reached after lookahead_bits bits.
// fast_ac: for a code of a symbol with a non-zero size s whose code and value
// bits fit in lookahead_bits together: (value << 16) | (run << 8) | total bits;
// for the end-of-block code (symbol 0): fast_ac_eob | its length; 0 otherwise
// (then fast and the tree are used).
// tree: nodes are negative numbers c with children at tree[-c - 1] (next bit 1)
// and tree[-c] (next bit 0); a child is a symbol (0 or more) or a node; 0 is
// also the empty child. The roots hang from 8-bit prefixes as in the plain decoder; the
// tree is sized for any table of up to 255 codes that is not over-subscribed
// (at most 255 codes x 8 levels of nodes below the 8-bit roots).
struct huffman_table {
    static constexpr int lookahead_bits = 10;
    static constexpr std::int32_t fast_ac_eob = 0x80;
    static constexpr int tree_entries = 2 * 8 * 256;
    std::int32_t fast[1 << lookahead_bits];
    std::int32_t fast_ac[1 << lookahead_bits];
    std::int16_t tree[tree_entries];
    std::uint8_t code_size[256];
};

// One component's coefficients for the whole image: 64 i16 per
// block in zig-zag order, DC at index 0, unquantised, approximation bits applied.
struct coefficient_buffer {
    std::int16_t* data;
    std::int32_t blocks_across;
    std::int32_t blocks_down;
};

// For an extent e (zig-zag positions 0..e-1 may be non-zero): how many rows
// of the natural-order block may be non-zero (at least 1).
struct extent_rows_table {
    std::uint8_t v[65];
    constexpr extent_rows_table() : v()
    {
        int max_row = 0;
        v[0] = 1;
        for (int e = 1; e <= 64; ++e) {
            const int r = zigzag[e - 1] / 8;
            max_row = r > max_row ? r : max_row;
            v[e] = static_cast<std::uint8_t>(max_row + 1);
        }
    }
};
inline constexpr extent_rows_table extent_rows_storage;
inline constexpr const std::uint8_t* extent_rows = extent_rows_storage.v;

// The 8 bytes at p as a big-endian number (first byte most significant).
inline std::uint64_t load_be64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::little)
        v = __builtin_bswap64(v);
    return v;
}

inline bool has_ff_byte(std::uint64_t v)
{
    const std::uint64_t x = ~v; // an FF byte of v is a zero byte of x
    return ((x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull) != 0;
}

// The next n bits (0..16) as an unsigned number; reading 0 bits consumes nothing.
inline std::uint32_t get_bits(bit_state& bs, int n)
{
    const std::uint32_t v = static_cast<std::uint32_t>((bs.buf >> 1) >> (63 - n));
    bs.buf <<= n;
    bs.cnt -= n;
    return v;
}

// T.81 EXTEND (F.2.2.1) of an s-bit value, s = 0..15.
inline int extend(std::uint32_t v, int s)
{
    const int x = static_cast<int>(v);
    return s == 0 ? 0 : (x < (1 << (s - 1)) ? x - (1 << s) + 1 : x);
}

// The next Huffman symbol; needs at least 16 valid bits in the reader.
inline int huffman_decode(bit_state& bs, const huffman_table* t)
{
    int e = t->fast[bs.buf >> (64 - huffman_table::lookahead_bits)];
    if (e >= 0) {
        const int len = e >> 8;
        bs.buf <<= len;
        bs.cnt -= len;
        return e & 255;
    }
    int consumed = huffman_table::lookahead_bits;
    do {
        const int b = static_cast<int>((bs.buf >> (63 - consumed)) & 1);
        e = t->tree[-e - b];
        ++consumed;
    } while (e < 0);
    bs.buf <<= consumed;
    bs.cnt -= consumed;
    return e;
}

} // namespace jpeg_detail

// Tops the bit reader up to at least 57 valid bits. Fast path: 8 buffered bytes
// without an FF among them are taken as whole bytes at once.
inline void jpeg_decoder::fill_bits(bit_state& bs)
{
    if (bs.left >= 8 && !bs.marker) {
        const std::uint64_t v = jpeg_detail::load_be64(bs.ptr);
        if (!jpeg_detail::has_ff_byte(v)) {
            const int n = (64 - bs.cnt) >> 3; // whole bytes that fit (cnt <= 56, so n >= 1)
            bs.buf |= (v >> (64 - 8 * n)) << (64 - bs.cnt - 8 * n);
            bs.ptr += n;
            bs.left -= n;
            bs.cnt += 8 * n;
            return;
        }
    }
    fill_bits_slow(bs);
}
