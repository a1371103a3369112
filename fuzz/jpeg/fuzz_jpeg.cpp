// libFuzzer target of the JPEG decoder: the whole public calling order over an
// in-memory stream with short reads. The first input byte picks the read size
// (an odd number from 1 to 253 bytes, or whole reads for 0x7F/0xFF) and, with
// its top bit, whether MMX is requested; the rest is the file.
// Frames above 4 megapixels stop after prepare_output (their buffers are
// allocated and, for progressive files, every scan decoded) to keep each run short.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "jpeg_decoder.h"

namespace {

class fuzz_stream : public jpeg_decoder_stream {
public:
    fuzz_stream(const std::uint8_t* data, std::size_t size, int chunk) : data_(data), size_(size), chunk_(chunk) {}
    int read(std::uint8_t* buffer, int max_bytes, bool* eof_flag) override
    {
        std::size_t n = size_ - pos_;
        if (n > static_cast<std::size_t>(max_bytes))
            n = static_cast<std::size_t>(max_bytes);
        if (chunk_ > 0 && n > static_cast<std::size_t>(chunk_))
            n = static_cast<std::size_t>(chunk_);
        if (n)
            std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        if (pos_ == size_)
            *eof_flag = true;
        return static_cast<int>(n);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    int chunk_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int chunk = (data[0] & 0x7F) == 0x7F ? 0 : 1 + ((data[0] & 0x7F) << 1);
    const bool use_mmx = (data[0] & 0x80) != 0;
    fuzz_stream stream(data + 1, size - 1, chunk);
    jpeg_decoder dec(&stream, use_mmx);
    if (dec.error_code)
        return 0;
    const std::size_t pixels = static_cast<std::size_t>(dec.image_width) * static_cast<std::size_t>(dec.image_height);
    if (pixels > (std::size_t(1) << 22) && !dec.progressive)
        return 0;
    if (dec.prepare_output() != 0 || pixels > (std::size_t(1) << 22))
        return 0;
    const std::uint8_t* line = nullptr;
    std::uint32_t length = 0;
    unsigned sum = 0;
    for (int y = 0; y <= dec.image_height; ++y) {
        const int r = dec.next_scanline(&line, &length);
        if (r != 0)
            break;
        // touch the whole line the decoder reports
        sum += line[0] + line[length - 1];
    }
    volatile unsigned sink = sum;
    (void)sink;
    return 0;
}
