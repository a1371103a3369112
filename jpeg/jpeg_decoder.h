// The JPEG decoder object and its public interface.
//
// Calling order: construct on a stream, test error_code (non-zero: unusable),
// read image_width / image_height, prepare_output() once, then next_scanline()
// once per line until it returns 1. Lines come top first: 4 bytes per pixel
// (R, G, B, a byte never written) for colour, 1 byte per pixel for grey.
// Error codes are the negative numbers -200 .. -234; -234: a scan out of order
// (a second first pass over a coefficient of a component, a second sequential
// scan of a component, or a refinement that does not continue from the
// coefficient's last Al).
#pragma once

#include <cstddef>
#include <cstdint>

#include "jpeg_decoder_stream.h"

namespace jpeg_detail {
// The entropy bit reader and the read position in the input buffer. The window
// is the top of buf: the next bit is its most significant bit; cnt bits are
// valid and the bits below them are zero.
struct bit_state {
    std::uint64_t buf;
    std::int32_t cnt;
    const std::uint8_t* ptr; // next input byte
    std::int32_t left;       // bytes left from ptr in the buffer
    bool marker;             // a marker or the end was met: only 1-bits follow
};
struct huffman_table;
struct coefficient_buffer;
} // namespace jpeg_detail

class jpeg_decoder {
public:
    // Reads up to and including the frame header. Never throws; on failure
    // error_code is set and all memory is released.
    jpeg_decoder(jpeg_decoder_stream* stream, bool use_mmx);
    ~jpeg_decoder();
    jpeg_decoder(const jpeg_decoder&) = delete;
    jpeg_decoder& operator=(const jpeg_decoder&) = delete;

    // 0 on success (and on any later call), -1 when the decoder has failed.
    int prepare_output();

    // 0: *line holds the next line (valid until the next call, owned by the
    // decoder) and *length its byte count; 1: all lines delivered (line and
    // length untouched); -1: failed earlier or not prepared; -227: failed now
    // (the recorded code is in error_code).
    int next_scanline(const std::uint8_t** line, std::uint32_t* length);

    // MMX is x86 32-bit platform code; only the plain paths are built, so the
    // decoder reports MMX as not available and the use_mmx argument selects
    // nothing (no decoded value depends on it).
    static bool cpu_has_mmx() { return false; }

    // Valid after a successful constructor.
    std::int32_t image_width = 0;
    std::int32_t image_height = 0;
    std::int32_t progressive = 0;     // 1 for an SOF2 frame
    std::int32_t component_count = 0; // components in the frame
    std::int32_t comp_h_samp[4] = {}; // sampling factors per frame component
    std::int32_t comp_v_samp[4] = {};
    std::int32_t error_code = 0;      // 0 while healthy, else the first failure's code

private:
    struct failure { int code; };
    using bit_state = jpeg_detail::bit_state;
    using huffman_table = jpeg_detail::huffman_table;
    using coefficient_buffer = jpeg_detail::coefficient_buffer;

    static constexpr int max_blocks = 100;
    static constexpr int max_row_blocks = 6144;
    static constexpr int input_size = 4096;
    static constexpr int input_spare = 128;
    static constexpr int max_scans = 1000;

    void reset(jpeg_decoder_stream* stream, bool use_mmx);
    [[noreturn]] void fail_with_code(int code);
    void* allocate_zeroed(std::size_t length);
    void release_blocks();

    void refill_input(bit_state& bs);
    int next_byte(bit_state& bs);
    int next_byte(bit_state& bs, bool& padding);
    void push_back_byte(bit_state& bs, std::uint8_t b);
    inline void fill_bits(bit_state& bs);
    void fill_bits_slow(bit_state& bs);
    int next_data_byte(bit_state& bs);
    unsigned read_u8();
    unsigned read_u16();
    int next_marker();
    int process_markers();
    void find_start_of_image();
    void find_frame_header();
    bool find_scan_header();
    void read_dht_segment();
    void read_dqt_segment();
    void read_sof_segment();
    void read_dri_segment();
    void read_sos_segment();
    void skip_segment();
    void realign_for_scan();
    void read_past_end();

    bool start_scan();
    void start_sequential();
    void compute_block_order();
    void check_huffman_tables();
    void check_quant_tables();
    void build_huffman_table(int index, huffman_table* table);
    void decode_row();
    void process_restart(bit_state& bs);
    bool first_scan_streams() const;

    // Progressive decoding (also used for sequential files whose first scan is not the
    // whole interleaved frame: their scans are gathered like progressive ones)
    coefficient_buffer* open_coefficient_buffer(std::int32_t blocks_across, std::int32_t blocks_down);
    std::int16_t* coefficient_address(coefficient_buffer* buffer, std::int32_t block_x, std::int32_t block_y);
    void setup_progressive();
    void setup_buffered_sequential();
    void allocate_coefficient_buffers();
    void gather_scans(bool first_scan_started);
    void check_progression(int ss, int se, int ah, int al);
    template <int kind> void run_progressive_scan();
    void load_row();

    void setup_frame_layout();
    void build_colour_tables();
    void inverse_dct_row();
    void copy_grey_row();
    void convert_unsubsampled_row();
    void convert_2x1_subsampled_row();
    void convert_1x2_subsampled_row();
    void convert_2x2_subsampled_row();

    // Input and entropy state
    jpeg_decoder_stream* stream_ = nullptr;
    bit_state bits_ = {};
    std::int32_t end_toggle_ = 0;
    bool input_eof_ = false;

    // Tables
    std::uint8_t* huffman_counts_[8] = {};
    std::uint8_t* huffman_values_[8] = {};
    huffman_table* huffman_tables_[8] = {};
    std::int16_t* quant_tables_[4] = {};

    // Frame
    std::int32_t comp_quant_[4] = {};
    std::int32_t comp_ident_[4] = {};
    std::int32_t comp_h_blocks_[4] = {};
    std::int32_t comp_v_blocks_[4] = {};
    std::int32_t max_h_samp_ = 1, max_v_samp_ = 1;

    // Scan
    std::int32_t scan_component_count_ = 0;
    std::int32_t scan_components_[4] = {};
    std::int32_t comp_dc_table_[4] = {};
    std::int32_t comp_ac_table_[4] = {};
    std::int32_t spectral_start_ = 0, spectral_end_ = 0, successive_low_ = 0, successive_high_ = 0;
    std::int32_t blocks_per_mcu_ = 0;
    std::int32_t mcus_per_row_ = 0, mcus_per_col_ = 0;
    std::int32_t mcu_order_[10] = {};
    std::int32_t scans_seen_ = 0;
    std::int32_t restart_interval_ = 0, restarts_left_ = 0, next_restart_number_ = 0;
    std::int32_t last_dc_[4] = {};
    std::int32_t eob_run_ = 0;
    bool buffered_ = false; // rows come from coefficient buffers (progressive or multi-scan sequential)
    coefficient_buffer* coeffs_[4] = {};
    std::int32_t block_y_mcu_[4] = {};
    std::int16_t row_quant_[4][64] = {}; // per component, zig-zag order: dequantises buffered rows
    std::int8_t coef_al_[4][64] = {};     // per component and zig-zag index: the last scan's Al, -1 before any

    // Layout and output
    std::int32_t scan_type_ = 0;
    std::int32_t mcu_width_ = 0, mcu_height_ = 0;
    std::int32_t max_blocks_per_mcu_ = 0, max_mcus_per_row_ = 0, max_mcus_per_col_ = 0;
    std::int32_t blocks_per_row_ = 0;
    std::int32_t lines_left_ = 0, mcu_lines_left_ = 0;
    std::int32_t bytes_per_line_ = 0, padded_bytes_per_line_ = 0, bytes_per_pixel_ = 0;
    std::int16_t* row_blocks_ = nullptr;    // blocks_per_row blocks of 64 coefficients, natural order
    std::uint8_t* sample_buffer_ = nullptr; // 64 samples per row block
    std::uint8_t* line_0_ = nullptr;
    std::uint8_t* line_1_ = nullptr;
    std::int32_t table_r_cr_[256] = {}, table_b_cb_[256] = {}, table_g_cr_[256] = {}, table_g_cb_[256] = {};

    bool use_mmx_ = false;
    bool use_mmx_idct_ = false;
    bool prepared_ = false;

    void* blocks_[max_blocks] = {};
    // per row block: 1 + the highest zig-zag index that may hold a non-zero value
    std::uint8_t row_block_extent_[max_row_blocks] = {};
    std::uint8_t input_buffer_[input_spare + input_size + input_spare + input_spare] = {};
};
