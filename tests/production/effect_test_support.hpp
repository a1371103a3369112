// Shared helpers of the effect tests: an off-screen GL context (so the GL
// calls the effects make directly have a context to land on), recorded-call
// queries and the raw-draw comparison for the shared generator.
#pragma once

#include "render/gl_emit.hpp"
#include "render/random.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class scene_context;

namespace effect_test {

// Makes the process's hidden off-screen GL context current (created on first
// use, kept until exit). False when no context can be made.
bool make_gl_current();

// A heap scene context shared by the tests (it is several megabytes).
scene_context* test_scene();

// Runs draw with a recorder installed and returns the calls.
std::vector<gl_call> record(const std::function<void()>& draw);

// One glBegin/glEnd block of a recording.
struct primitive {
  GLenum mode = 0;
  std::vector<gl_call> vertices;   // vertex3f calls in order
  std::vector<gl_call> tex_coords; // tex_coord2f calls in order
  std::vector<gl_call> colours;    // color3f calls inside the block
};
std::vector<primitive> primitives(const std::vector<gl_call>& calls);

// Number of calls of one kind (and, when mode is non-zero, with that mode).
int count_calls(const std::vector<gl_call>& calls, gl_call::kind kind, GLenum mode = 0);

// The number of raw draws the routine makes from the given seed: the state it
// leaves compared with 0, 1, 2, ... raw draws from the same seed (-1 when
// none up to the limit matches).
int draws_made(std::uint32_t seed, const std::function<void()>& routine, int limit = 20000);

// Gives each test the GL context and a generator seeded to a fixed value.
class effect_fixture : public testing::Test {
 protected:
  void SetUp() override {
    make_gl_current();
    qm_srand(12345);
  }
};

}  // namespace effect_test
