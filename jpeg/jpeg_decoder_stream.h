// The decoder's input stream interface and the file stream.
#pragma once

#include <cstdint>
#include <cstdio>

// Abstract byte source of the JPEG decoder. The decoder never opens, closes or
// deletes a stream: its creator owns it, and it outlives every decoder reading it.
class jpeg_decoder_stream {
public:
    virtual ~jpeg_decoder_stream() {}

    // Reads up to max_bytes bytes into buffer. Returns -1 on failure, otherwise a
    // count from 0 to max_bytes; a short count is not by itself the end: the end
    // is reported by storing true in *eof_flag (later calls then return 0).
    virtual int read(std::uint8_t* buffer, int max_bytes, bool* eof_flag) = 0;

    // Called by the decoder when it takes the stream (its reset).
    virtual void on_attach() {}
    // Called by the decoder when it releases its memory after a failure, just
    // before it forgets the stream.
    virtual void on_detach() {}
};

// Reads a file opened in binary mode ("rb").
class jpeg_decoder_file_stream : public jpeg_decoder_stream {
public:
    jpeg_decoder_file_stream() = default;
    ~jpeg_decoder_file_stream() override;
    jpeg_decoder_file_stream(const jpeg_decoder_file_stream&) = delete;
    jpeg_decoder_file_stream& operator=(const jpeg_decoder_file_stream&) = delete;

    // Opening a file on the stream: closes any open file, clears both flags,
    // then fopen(name, "rb"). Returns whether a file is now open.
    bool open(const char* name);

    int read(std::uint8_t* buffer, int max_bytes, bool* eof_flag) override;

    std::FILE* file = nullptr; // null while no file is open
    bool eof = false;          // a read came up short without a stream error
    bool error = false;        // the C library reported a read error
};
