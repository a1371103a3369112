// Decoder object, public operations, memory blocks and error exit.
//
// The error exit is an internal exception (a long jump would skip destructors):
// fail_with_code records the code, releases every block and throws; the three
// public operations catch it. Nothing between them holds a resource that needs
// unwinding: all memory is in blocks_.
#include <cstdlib>
#include <cstring>

#include "jpeg_decoder_testing.h"
#include "jpeg_internal.h"

namespace {
thread_local int g_block_limit = 100;
thread_local int g_fail_allocation_after = -1;
constexpr std::size_t max_allocation = std::size_t(1) << 30; // a cap on any one block
} // namespace

namespace jpeg_decoder_testing {
void set_block_limit(int limit) { g_block_limit = limit; }
void fail_allocation_after(int count) { g_fail_allocation_after = count; }
void reset_allocation_hooks()
{
    g_block_limit = 100;
    g_fail_allocation_after = -1;
}
} // namespace jpeg_decoder_testing

jpeg_decoder::jpeg_decoder(jpeg_decoder_stream* stream, bool use_mmx)
{
    try {
        reset(stream, use_mmx);
        find_frame_header();
    } catch (const failure&) {
        // error_code is set and the memory released
    }
}

jpeg_decoder::~jpeg_decoder()
{
    // The stream belongs to its creator and is not touched here.
    for (void*& block : blocks_) {
        std::free(block);
        block = nullptr;
    }
}

void jpeg_decoder::reset(jpeg_decoder_stream* stream, bool use_mmx)
{
    error_code = 0;
    prepared_ = false;
    image_width = image_height = 0;
    stream_ = stream;
    use_mmx_ = use_mmx;
    use_mmx_idct_ = use_mmx && cpu_has_mmx();
    bits_.buf = 0;
    bits_.cnt = 0;
    bits_.ptr = input_buffer_ + input_spare;
    bits_.left = 0;
    bits_.marker = false;
    end_toggle_ = 0;
    input_eof_ = false;
    if (!stream_)
        fail_with_code(-232);
    stream_->on_attach();
    refill_input(bits_);
    std::memset(row_block_extent_, 64, sizeof row_block_extent_);
}

void jpeg_decoder::fail_with_code(int code)
{
    error_code = code;
    release_blocks();
    throw failure{code};
}

void jpeg_decoder::release_blocks()
{
    if (stream_) {
        stream_->on_detach();
        stream_ = nullptr;
    }
    for (void*& block : blocks_) {
        std::free(block);
        block = nullptr;
    }
    // Forget every pointer into the released blocks.
    std::memset(huffman_counts_, 0, sizeof huffman_counts_);
    std::memset(huffman_values_, 0, sizeof huffman_values_);
    std::memset(huffman_tables_, 0, sizeof huffman_tables_);
    std::memset(quant_tables_, 0, sizeof quant_tables_);
    std::memset(coeffs_, 0, sizeof coeffs_);
    row_blocks_ = nullptr;
    sample_buffer_ = nullptr;
    line_0_ = line_1_ = nullptr;
}

void* jpeg_decoder::allocate_zeroed(std::size_t length)
{
    int slot = -1;
    const int limit = g_block_limit < max_blocks ? g_block_limit : max_blocks;
    for (int i = 0; i < limit; ++i) {
        if (!blocks_[i]) {
            slot = i;
            break;
        }
    }
    if (slot < 0)
        fail_with_code(-221);
    if (length > max_allocation)
        fail_with_code(-233);
    if (g_fail_allocation_after == 0)
        fail_with_code(-233);
    if (g_fail_allocation_after > 0)
        --g_fail_allocation_after;
    void* raw = std::calloc(1, length + 8);
    if (!raw)
        fail_with_code(-233);
    blocks_[slot] = raw;
    const std::uintptr_t p = reinterpret_cast<std::uintptr_t>(raw);
    return reinterpret_cast<void*>((p + 7) & ~std::uintptr_t(7));
}

int jpeg_decoder::prepare_output()
{
    if (prepared_)
        return 0;
    if (error_code)
        return -1;
    try {
        setup_frame_layout();
        if (progressive) {
            setup_progressive();
        } else {
            start_sequential();
            if (!first_scan_streams())
                setup_buffered_sequential();
        }
        prepared_ = true;
        return 0;
    } catch (const failure&) {
        return -1;
    }
}

int jpeg_decoder::next_scanline(const std::uint8_t** line, std::uint32_t* length)
{
    if (error_code || !prepared_)
        return -1;
    if (lines_left_ == 0)
        return 1;
    if (mcu_lines_left_ == 0) {
        try {
            if (buffered_) {
                load_row();
            } else {
                decode_row();
                if (mcu_height_ >= lines_left_)
                    read_past_end();
            }
            inverse_dct_row();
        } catch (const failure&) {
            return -227;
        }
        mcu_lines_left_ = mcu_height_;
    }
    const bool vertical_pairs = scan_type_ == 3 || scan_type_ == 4;
    if (vertical_pairs && (mcu_lines_left_ & 1)) {
        *line = line_1_;
    } else {
        switch (scan_type_) {
        case 0: copy_grey_row(); break;
        case 1: convert_unsubsampled_row(); break;
        case 2: convert_2x1_subsampled_row(); break;
        case 3: convert_1x2_subsampled_row(); break;
        default: convert_2x2_subsampled_row(); break;
        }
        *line = line_0_;
    }
    *length = static_cast<std::uint32_t>(bytes_per_line_);
    --mcu_lines_left_;
    --lines_left_;
    return 0;
}
