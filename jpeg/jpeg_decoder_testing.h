// Test hooks of the JPEG decoder's allocator (not part of the public interface).
// They act on decoders constructed afterwards on the same thread.
#pragma once

namespace jpeg_decoder_testing {

// How many memory blocks a decoder may hold (100 by default).
void set_block_limit(int limit);
// Make the allocation after `count` successful ones fail as a null malloc would
// (-1: never).
void fail_allocation_after(int count);
// Back to the defaults.
void reset_allocation_hooks();

} // namespace jpeg_decoder_testing
