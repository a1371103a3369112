// File stream; plus the in-memory helper stream.
#include "jpeg_decoder_stream.h"

#include <algorithm>
#include <cstring>

#include "jpeg_memory_stream.h"

jpeg_decoder_file_stream::~jpeg_decoder_file_stream()
{
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
    eof = false;
    error = false;
}

bool jpeg_decoder_file_stream::open(const char* name)
{
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
    eof = false;
    error = false;
    file = std::fopen(name, "rb");
    return file != nullptr;
}

int jpeg_decoder_file_stream::read(std::uint8_t* buffer, int max_bytes, bool* eof_flag)
{
    if (!file)
        return -1;
    if (eof) {
        *eof_flag = true;
        return 0;
    }
    if (error)
        return -1;
    if (max_bytes <= 0)
        return 0;
    const std::size_t count = std::fread(buffer, 1, static_cast<std::size_t>(max_bytes), file);
    if (count == static_cast<std::size_t>(max_bytes))
        return static_cast<int>(count);
    if (std::ferror(file)) {
        error = true;
        return -1;
    }
    eof = true;
    *eof_flag = true;
    return static_cast<int>(count);
}

jpeg_decoder_memory_stream::jpeg_decoder_memory_stream(const void* data, std::size_t size, int max_chunk)
    : data_(static_cast<const std::uint8_t*>(data)), size_(data ? size : 0), max_chunk_(max_chunk)
{
}

int jpeg_decoder_memory_stream::read(std::uint8_t* buffer, int max_bytes, bool* eof_flag)
{
    if (max_bytes < 0)
        return -1;
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(max_bytes), size_ - position_);
    if (max_chunk_ > 0)
        n = std::min<std::size_t>(n, static_cast<std::size_t>(max_chunk_));
    if (n)
        std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    if (position_ == size_)
        *eof_flag = true;
    return static_cast<int>(n);
}
