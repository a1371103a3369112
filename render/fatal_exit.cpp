#include "fatal_exit.hpp"

#include <cstdlib>

namespace {

fatal_teardown_hook g_teardown_hook = nullptr;

}  // namespace

fatal_teardown_hook set_fatal_teardown_hook(fatal_teardown_hook hook) {
  const fatal_teardown_hook previous = g_teardown_hook;
  g_teardown_hook = hook;
  return previous;
}

void fatal_exit(int exit_code) {
  // Cleared before the call so that a teardown that fails fatally itself
  // cannot recurse.
  if (const fatal_teardown_hook hook = g_teardown_hook) {
    g_teardown_hook = nullptr;
    try {
      hook(exit_code);
    } catch (...) {
      g_teardown_hook = hook;
      throw;
    }
  }
  std::exit(exit_code);
}
