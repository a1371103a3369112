// The scene context, the shader wrapper, the slot rule, the card check's
// table, the frame-copy sizes and the fatal exit path: no GL context needed.
#include "render/fatal_exit.hpp"
#include "render/graphics_card_check.hpp"
#include "render/render_pass.hpp"
#include "render/scene_context.hpp"

#include "platform/shader_runtime.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

namespace shader = platform::shader;

std::unique_ptr<scene_context> make_scene() { return std::make_unique<scene_context>(); }

TEST(SceneContext, FreshContextLoadsCompressedUntilTheShellSaysOtherwise) {
  auto s = make_scene();
  EXPECT_TRUE(s->compress_textures);
  EXPECT_FALSE(s->placeholder_textures);
  EXPECT_NE(s->cg_context, nullptr);
  // The light stays all zero for the whole run.
  for (const vec3* v : {&s->light.eye, &s->light.centre, &s->light.up}) {
    EXPECT_EQ(v->state, 1);
    EXPECT_EQ(v->x, 0.0f);
    EXPECT_EQ(v->y, 0.0f);
    EXPECT_EQ(v->z, 0.0f);
  }
  // Nothing fills the program table, so the wrapper only ever binds nulls.
  for (int p = 0; p < scene_context::program_count; p += 997) EXPECT_EQ(s->cg_programs[p], nullptr);
}

TEST(SceneContext, GlobalInstanceIsBuiltBeforeMain) {
  EXPECT_NE(g_scene_context.cg_context, nullptr);
  EXPECT_EQ(g_scene_context.camera.eye.y, 2.0f);
}

double progress_seen = -1.0;
double record_progress(double f) {
  progress_seen = f;
  return 7.0;
}

TEST(SceneContext, ReportProgressCallsTheHookOnlyWhenSet) {
  auto s = make_scene();
  EXPECT_EQ(s->report_progress(0.1), 0.0);
  s->load_progress_hook = &record_progress;
  EXPECT_EQ(s->report_progress(0.25), 7.0);
  EXPECT_EQ(progress_seen, 0.25);
}

TEST(SceneContext, TextureSlotRuleRelativeBelow85000AbsoluteFrom85000) {
  auto s = make_scene();
  s->texture_base = 5;
  s->texture_names[85004] = 11;
  s->texture_names[85000] = 22;
  s->texture_names[5] = 33;
  EXPECT_EQ(s->texture_name_of_slot(84999), 11u);
  EXPECT_EQ(s->texture_name_of_slot(85000), 22u);
  EXPECT_EQ(s->texture_name_of_slot(0), 33u);
  // Outside the table: no texture rather than a read past it.
  EXPECT_EQ(s->texture_name_of_slot(scene_context::texture_name_count), 0u);
  EXPECT_EQ(s->texture_name_of_slot(-6), 0u);
  s->texture_base = 399990;
  EXPECT_EQ(s->texture_name_of_slot(20), 0u);
}

TEST(CgWrapper, ParametersLandInProgramTimesSixteenPlusSlot) {
  auto s = make_scene();
  // A sentinel shows the setter passes the entry on and the lookup writes it
  // (the runtime finds nothing).
  s->cg_parameters[3 * 16 + 2] = reinterpret_cast<shader::parameter>(&progress_seen);
  shader::take_error();
  shader::call_recorder recorder;
  s->set_cg_float3(3, 2, 1, 2, 3);
  EXPECT_EQ(s->get_cg_parameter(3, 2, "LightPos"), nullptr);
  EXPECT_EQ(s->cg_parameters[3 * 16 + 2], nullptr);
  EXPECT_EQ(shader::take_error(), shader::error::invalid_program);

  // Out of the tables: no write, still a runtime call with a null handle.
  s->get_cg_parameter(scene_context::program_count, 0, "CameraPos");
  s->get_cg_parameter(0, 16, "CameraPos");
  s->set_cg_float3(-1, 0, 1, 2, 3);
  const std::vector<shader::call>& calls = recorder.calls();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0].handle, &progress_seen);
  EXPECT_EQ(calls[1].name, "LightPos");
  for (std::size_t i = 2; i < calls.size(); ++i) EXPECT_EQ(calls[i].handle, nullptr) << i;
  EXPECT_EQ(calls[4].what, shader::call::kind::set_parameter_3f);
}

TEST(CgWrapper, RecordingIsBoundedAndEndsWithTheRecorder) {
  {
    shader::call_recorder recorder;
    for (std::size_t i = 0; i < shader::call_recorder::capacity + 10; ++i)
      shader::bind_program(nullptr);
    EXPECT_EQ(recorder.calls().size(), shader::call_recorder::capacity);
    recorder.clear();
    EXPECT_TRUE(recorder.calls().empty());
  }
  shader::bind_program(nullptr);
  shader::call_recorder recorder;
  EXPECT_TRUE(recorder.calls().empty());
}

TEST(CgWrapper, ProfilesSwitchThroughTheContextsProfileNumbers) {
  auto s = make_scene();
  s->enable_fragment_profile();
  s->enable_vertex_profile();
  EXPECT_TRUE(shader::profile_enabled(shader::fragment_profile_arb));
  EXPECT_TRUE(shader::profile_enabled(shader::vertex_profile_arb));
  disable_cg_profiles(s.get());
  EXPECT_FALSE(shader::profile_enabled(shader::fragment_profile_arb));
  EXPECT_FALSE(shader::profile_enabled(shader::vertex_profile_arb));
}

TEST(GraphicsCard, VendorAndRendererTable) {
  graphics_card_verdict v = classify_graphics_card("ATI Technologies Inc.", "RADEON 9800 PRO");
  EXPECT_TRUE(v.ati_card);
  EXPECT_EQ(v.speed_factor, 2.75);
  EXPECT_EQ(v.slow_card_code, 0);

  v = classify_graphics_card("NVIDIA Corporation", "GeForce FX 5200/AGP/SSE2");
  EXPECT_FALSE(v.ati_card);
  EXPECT_EQ(v.slow_card_code, 5200);
  EXPECT_EQ(v.speed_factor, 1.0);

  EXPECT_EQ(classify_graphics_card("NVIDIA", "GeForce 6200").slow_card_code, 5200);
  EXPECT_EQ(classify_graphics_card("NVIDIA", "GeForce 6800 GT").speed_factor, 2.95);
  EXPECT_EQ(classify_graphics_card("ATI", "RADEON X800 XT").speed_factor, 2.95);
  // Last match wins.
  EXPECT_EQ(classify_graphics_card("", "X300 59").speed_factor, 1.6);
  // An ATI vendor with an unknown renderer keeps 1.5; matching is case-sensitive.
  EXPECT_EQ(classify_graphics_card("ATI", "Mystery").speed_factor, 1.5);
  EXPECT_FALSE(classify_graphics_card("ati", "x800").ati_card);
  EXPECT_EQ(classify_graphics_card("ati", "x800").speed_factor, 1.0);
}

TEST(GraphicsCard, NullStringsCountAsEmpty) {
  const graphics_card_verdict v = classify_graphics_card(nullptr, nullptr);
  EXPECT_FALSE(v.ati_card);
  EXPECT_EQ(v.speed_factor, 1.0);
  EXPECT_EQ(v.slow_card_code, 0);
}

TEST(RenderPass, SecondCopySizeFollowsWidthAndPreset) {
  using size = std::pair<int, int>;
  EXPECT_EQ(second_copy_size(640, -1), size(640, 480));
  EXPECT_EQ(second_copy_size(640, 3), size(640, 640));
  EXPECT_EQ(second_copy_size(800, -1), size(800, 600));
  EXPECT_EQ(second_copy_size(800, 3), size(320, 240));
  EXPECT_EQ(second_copy_size(800, 0), size(800, 800));
  EXPECT_EQ(second_copy_size(512, 2), size(512, 512));
}

struct fatal_exit_called {
  int code;
};
int teardowns = 0;
void throwing_teardown(int code) {
  ++teardowns;
  throw fatal_exit_called{code};
}

TEST(FatalExit, TeardownRunsFirstAndSeesTheCode) {
  const fatal_teardown_hook previous = set_fatal_teardown_hook(&throwing_teardown);
  teardowns = 0;
  try {
    fatal_exit(exit_code_bad_asset);
  } catch (const fatal_exit_called& e) {
    EXPECT_EQ(e.code, exit_code_bad_asset);
  }
  EXPECT_EQ(teardowns, 1);
  // A hook that throws stays installed for the next failure.
  EXPECT_EQ(set_fatal_teardown_hook(previous), &throwing_teardown);
}

void announcing_teardown(int code) { std::fprintf(stderr, "teardown %d\n", code); }

TEST(FatalExitDeathTest, ExitsWithTheCodeAfterTheTeardown) {
  EXPECT_EXIT(
      {
        set_fatal_teardown_hook(&announcing_teardown);
        fatal_exit(exit_code_no_offscreen);
      },
      testing::ExitedWithCode(exit_code_no_offscreen), "teardown 3");
}

}  // namespace
