// Input buffering, byte and bit sources, marker parsing.
//
// Header bytes are read one at a time from the input buffer (the plain
// 16-bit reader returns them in the same order; nothing is read ahead, so there
// is nothing to push back at a scan start). Entropy-coded data is read through
// a 64-bit bit reader that never consumes a marker: at a marker, or at the end
// of the input, it yields 1-bits without end.
#include "jpeg_internal.h"

using namespace jpeg_detail;



namespace {
constexpr int max_empty_reads = 1 << 16; // a stream that never progresses nor ends
}

// Algorithm 1.

void jpeg_decoder::refill_input(bit_state& bs)
{
    std::uint8_t* const start = input_buffer_ + input_spare;
    bs.ptr = start;
    bs.left = 0;
    if (input_eof_)
        return;
    int empty_reads = 0;
    do {
        const int want = input_size - bs.left;
        const int n = stream_->read(start + bs.left, want, &input_eof_);
        if (n < 0 || n > want)
            fail_with_code(-232);
        if (n == 0 && !input_eof_ && ++empty_reads >= max_empty_reads)
            fail_with_code(-232);
        bs.left += n;
    } while (bs.left < input_size && !input_eof_);
    std::uint8_t* tail = start + bs.left;
    for (int i = 0; i < 64; ++i) {
        tail[2 * i] = 0xFF;
        tail[2 * i + 1] = 0xD9;
    }
}

// Algorithm 2: raw bytes; after the end, FF D9 FF D9 ... (invented).
int jpeg_decoder::next_byte(bit_state& bs, bool& padding)
{
    if (bs.left == 0)
        refill_input(bs);
    if (bs.left == 0) {
        padding = true;
        const int b = end_toggle_ ? 0xD9 : 0xFF;
        end_toggle_ ^= 1;
        return b;
    }
    padding = false;
    --bs.left;
    return *bs.ptr++;
}

int jpeg_decoder::next_byte(bit_state& bs)
{
    bool padding;
    return next_byte(bs, padding);
}

void jpeg_decoder::push_back_byte(bit_state& bs, std::uint8_t b)
{
    // The spare area in front of the buffer takes the pushed-back bytes.
    if (bs.ptr <= input_buffer_)
        fail_with_code(-229);
    *const_cast<std::uint8_t*>(--bs.ptr) = b;
    ++bs.left;
}

// The next byte of entropy-coded data: stuffed FF 00 gives FF; at a marker or
// at the end the marker flag is set and FF is returned, the marker itself is
// left unread (pushed back) for the marker search.
int jpeg_decoder::next_data_byte(bit_state& bs)
{
    if (bs.marker)
        return 0xFF;
    if (bs.left == 0) {
        refill_input(bs);
        if (bs.left == 0) {
            bs.marker = true;
            return 0xFF;
        }
    }
    const int c = *bs.ptr++;
    --bs.left;
    if (c != 0xFF)
        return c;
    if (bs.left == 0) {
        refill_input(bs);
        if (bs.left == 0) {
            push_back_byte(bs, 0xFF);
            bs.marker = true;
            return 0xFF;
        }
    }
    const int d = *bs.ptr++;
    --bs.left;
    if (d == 0)
        return 0xFF;
    push_back_byte(bs, static_cast<std::uint8_t>(d));
    push_back_byte(bs, 0xFF);
    bs.marker = true;
    return 0xFF;
}

void jpeg_decoder::fill_bits_slow(bit_state& bs)
{
    while (bs.cnt <= 56) {
        const int c = next_data_byte(bs);
        bs.buf |= static_cast<std::uint64_t>(c) << (56 - bs.cnt);
        bs.cnt += 8;
    }
}

unsigned jpeg_decoder::read_u8()
{
    return static_cast<unsigned>(next_byte(bits_));
}

unsigned jpeg_decoder::read_u16()
{
    const unsigned hi = read_u8();
    return (hi << 8) | read_u8();
}

// Algorithm 5.
int jpeg_decoder::next_marker()
{
    for (;;) {
        unsigned c;
        do {
            c = read_u8();
        } while (c != 0xFF);
        do {
            c = read_u8();
        } while (c == 0xFF);
        if (c != 0)
            return static_cast<int>(c);
    }
}

// Algorithm 6.
int jpeg_decoder::process_markers()
{
    for (;;) {
        const int c = next_marker();
        switch (c) {
        case 0xC0: case 0xC1: case 0xC2: case 0xC3:
        case 0xC5: case 0xC6: case 0xC7:
        case 0xC9: case 0xCA: case 0xCB:
        case 0xCD: case 0xCE: case 0xCF:
        case 0xD8: case 0xD9: case 0xDA:
            return c;
        case 0xC4: read_dht_segment(); break;
        case 0xDB: read_dqt_segment(); break;
        case 0xDD: read_dri_segment(); break;
        case 0xCC: fail_with_code(-215);
        case 0xC8:
        case 0xD0: case 0xD1: case 0xD2: case 0xD3:
        case 0xD4: case 0xD5: case 0xD6: case 0xD7:
        case 0x01:
            fail_with_code(-216);
        default: skip_segment(); break;
        }
    }
}

// Algorithm 7.
void jpeg_decoder::find_start_of_image()
{
    unsigned last = read_u8();
    unsigned c = read_u8();
    if (last == 0xFF && c == 0xD8)
        return;
    for (int i = 0; i < 511; ++i) {
        last = c;
        c = read_u8();
        if (last == 0xFF && c == 0xD8) {
            // found by searching: a marker must follow at once
            const int next = next_byte(bits_);
            push_back_byte(bits_, static_cast<std::uint8_t>(next));
            if (next != 0xFF)
                fail_with_code(-217);
            return;
        }
    }
    fail_with_code(-217);
}

// Algorithm 8.
void jpeg_decoder::find_frame_header()
{
    find_start_of_image();
    const int c = process_markers();
    switch (c) {
    case 0xC2:
        progressive = 1;
        [[fallthrough]];
    case 0xC0:
    case 0xC1:
        read_sof_segment();
        return;
    case 0xC9:
        fail_with_code(-215);
    default:
        fail_with_code(-218);
    }
}

// Algorithm 9, segment readers.
void jpeg_decoder::skip_segment()
{
    const unsigned length = read_u16();
    if (length < 2)
        fail_with_code(-210);
    for (unsigned i = 2; i < length; ++i)
        read_u8();
}

void jpeg_decoder::read_dri_segment()
{
    if (read_u16() != 4)
        fail_with_code(-211);
    restart_interval_ = static_cast<std::int32_t>(read_u16());
}

void jpeg_decoder::read_dht_segment()
{
    const unsigned length = read_u16();
    if (length < 2)
        fail_with_code(-202);
    int left = static_cast<int>(length) - 2;
    while (left > 0) {
        const unsigned index_byte = read_u8();
        std::uint8_t counts[17];
        std::uint8_t values[256];
        counts[0] = 0;
        int total = 0;
        for (int i = 1; i <= 16; ++i) {
            counts[i] = static_cast<std::uint8_t>(read_u8());
            total += counts[i];
        }
        if (total > 255)
            fail_with_code(-200);
        // A table whose codes over-subscribe the code space (Kraft sum above 1)
        // cannot be decoded: reject it with the same code.
        std::uint32_t kraft = 0;
        for (int i = 1; i <= 16; ++i)
            kraft += static_cast<std::uint32_t>(counts[i]) << (16 - i);
        if (kraft > 65536)
            fail_with_code(-200);
        for (int i = 0; i < total; ++i)
            values[i] = static_cast<std::uint8_t>(read_u8());
        if (left < total + 17)
            fail_with_code(-202);
        left -= total + 17;
        const int index = static_cast<int>(index_byte & 15) + 4 * static_cast<int>((index_byte >> 4) & 1);
        if (index > 7)
            fail_with_code(-201);
        if (!huffman_counts_[index]) {
            huffman_counts_[index] = static_cast<std::uint8_t*>(allocate_zeroed(17));
            huffman_values_[index] = static_cast<std::uint8_t*>(allocate_zeroed(256));
        }
        std::memcpy(huffman_counts_[index], counts, 17);
        std::memset(huffman_values_[index], 0, 256);
        std::memcpy(huffman_values_[index], values, static_cast<std::size_t>(total));
    }
}

void jpeg_decoder::read_dqt_segment()
{
    const unsigned length = read_u16();
    if (length < 2)
        fail_with_code(-203);
    int left = static_cast<int>(length) - 2;
    while (left > 0) {
        const unsigned n = read_u8();
        const int number = static_cast<int>(n & 15);
        const bool wide = (n >> 4) != 0;
        if (number > 3)
            fail_with_code(-204);
        if (!quant_tables_[number])
            quant_tables_[number] = static_cast<std::int16_t*>(allocate_zeroed(64 * sizeof(std::int16_t)));
        std::int16_t* q = quant_tables_[number];
        // Without the MMX IDCT (always, here) value k is kept at position k, in
        // the file's zig-zag order, as read (a 16-bit value as an i16).
        for (int k = 0; k < 64; ++k) {
            const unsigned v = wide ? read_u16() : read_u8();
            q[k] = static_cast<std::int16_t>(v);
        }
        const int used = wide ? 129 : 65;
        if (left < used)
            fail_with_code(-219);
        left -= used;
    }
}

void jpeg_decoder::read_sof_segment()
{
    const unsigned length = read_u16();
    if (read_u8() != 8)
        fail_with_code(-205);
    const unsigned height = read_u16();
    if (height == 0 || height > 8192)
        fail_with_code(-206);
    const unsigned width = read_u16();
    if (width == 0 || width > 8192)
        fail_with_code(-207);
    const unsigned count = read_u8();
    if (count > 4)
        fail_with_code(-208);
    if (length != 8 + 3 * count)
        fail_with_code(-209);
    image_height = static_cast<std::int32_t>(height);
    image_width = static_cast<std::int32_t>(width);
    component_count = static_cast<std::int32_t>(count);
    max_h_samp_ = max_v_samp_ = 1;
    for (unsigned i = 0; i < count; ++i) {
        comp_ident_[i] = static_cast<std::int32_t>(read_u8());
        const unsigned hv = read_u8();
        comp_h_samp[i] = static_cast<std::int32_t>(hv >> 4);
        comp_v_samp[i] = static_cast<std::int32_t>(hv & 15);
        comp_quant_[i] = static_cast<std::int32_t>(read_u8());
        // T.81 allows sampling factors 1..4 only; 0 would divide by zero.
        if (comp_h_samp[i] < 1 || comp_h_samp[i] > 4 || comp_v_samp[i] < 1 || comp_v_samp[i] > 4)
            fail_with_code(-226);
        if (comp_h_samp[i] > max_h_samp_)
            max_h_samp_ = comp_h_samp[i];
        if (comp_v_samp[i] > max_v_samp_)
            max_v_samp_ = comp_v_samp[i];
    }
}

void jpeg_decoder::read_sos_segment()
{
    const unsigned length = read_u16();
    const unsigned count = read_u8();
    if (length != 6 + 2 * count || count < 1 || count > 4)
        fail_with_code(-212);
    // A scan names each frame component at most once, so it has at most as many
    // components as the frame.
    if (static_cast<std::int32_t>(count) > component_count)
        fail_with_code(-212);
    scan_component_count_ = static_cast<std::int32_t>(count);
    for (unsigned i = 0; i < count; ++i) {
        const std::int32_t ident = static_cast<std::int32_t>(read_u8());
        const unsigned tables = read_u8();
        int c = 0;
        while (c < component_count && comp_ident_[c] != ident)
            ++c;
        if (c == component_count)
            fail_with_code(-213);
        for (unsigned j = 0; j < i; ++j)
            if (scan_components_[j] == c)
                fail_with_code(-212);
        scan_components_[i] = c;
        comp_dc_table_[c] = static_cast<std::int32_t>(tables >> 4);
        comp_ac_table_[c] = static_cast<std::int32_t>(tables & 15) + 4;
    }
    spectral_start_ = static_cast<std::int32_t>(read_u8());
    spectral_end_ = static_cast<std::int32_t>(read_u8());
    const unsigned a = read_u8();
    successive_high_ = static_cast<std::int32_t>(a >> 4);
    successive_low_ = static_cast<std::int32_t>(a & 15);
    if (!progressive) {
        spectral_start_ = 0;
        spectral_end_ = 63;
    }
}

// Algorithm 10.
bool jpeg_decoder::find_scan_header()
{
    const int c = process_markers();
    if (c == 0xD9)
        return false;
    if (c != 0xDA)
        fail_with_code(-216);
    read_sos_segment();
    return true;
}

// Algorithm 11: nothing of the header reader is buffered; start the entropy
// reader afresh at the read position.
void jpeg_decoder::realign_for_scan()
{
    bits_.buf = 0;
    bits_.cnt = 0;
    bits_.marker = false;
    fill_bits_slow(bits_);
}

// Algorithm 12.
void jpeg_decoder::read_past_end()
{
    if (buffered_)
        return;
    bits_.buf = 0;
    bits_.cnt = 0;
    bits_.marker = false;
    process_markers();
}
