// The process entry of each of the three programs; they differ only in the
// multisample choice compiled in through QUILLMERE_MULTISAMPLE_SAMPLES.
#include "shell/entry.hpp"
#include "shell/gl_window.hpp"

#ifndef QUILLMERE_MULTISAMPLE_SAMPLES
#error "each program sets QUILLMERE_MULTISAMPLE_SAMPLES (8, 4, or 0 for none)"
#endif

const int k_build_multisample_samples = QUILLMERE_MULTISAMPLE_SAMPLES;

int main() { return WinMain(); }
