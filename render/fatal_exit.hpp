// The one way the rendering kit ends the program on a failure: the window and
// its context are torn down first (through the hook the shell installs), then
// the process exits with the given code.
#pragma once

// Exit codes of the kit's failures.
inline constexpr int exit_code_bad_asset = 2;         // a data file is missing or malformed
inline constexpr int exit_code_no_offscreen = 3;      // the off-screen target cannot be made

// Receives the exit code before the process ends. The shell installs one that
// releases the window and its context; a test may install one that throws, so
// that the failure can be observed without ending the test process.
using fatal_teardown_hook = void (*)(int exit_code);

// Installs the hook and returns the previous one (null: no teardown).
fatal_teardown_hook set_fatal_teardown_hook(fatal_teardown_hook hook);

// Runs the hook (if any), then std::exit(exit_code). Never returns normally;
// it leaves by an exception only when the hook throws one.
[[noreturn]] void fatal_exit(int exit_code);
