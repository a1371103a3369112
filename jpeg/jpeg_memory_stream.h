// A general helper beside the file stream: a jpeg_decoder_stream over bytes in memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jpeg_decoder_stream.h"

// Reads from a caller-owned byte range (not copied; it must outlive the stream).
// max_chunk > 0 caps every read at that many bytes (short reads, as a pipe or a
// socket would give); the end is reported only once every byte has been given.
class jpeg_decoder_memory_stream : public jpeg_decoder_stream {
public:
    jpeg_decoder_memory_stream(const void* data, std::size_t size, int max_chunk = 0);

    int read(std::uint8_t* buffer, int max_bytes, bool* eof_flag) override;

    // Back to the first byte, end flag cleared.
    void rewind() { position_ = 0; }
    std::size_t position() const { return position_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    int max_chunk_;
};
