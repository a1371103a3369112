// Camera_frame set, lerp and apply.
#include "render/camera_frame.hpp"
#include "render/gl_emit.hpp"

#include <gtest/gtest.h>

namespace {

camera_frame make(const double (&v)[9]) {
  camera_frame f;
  f.set(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8]);
  return f;
}

void expect_vec(const vec3& got, int state, float x, float y, float z) {
  EXPECT_EQ(got.state, state);
  EXPECT_EQ(got.x, x);
  EXPECT_EQ(got.y, y);
  EXPECT_EQ(got.z, z);
}

const double k_from[9] = {1.0, 2.0, 3.0, 0.0, -4.0, 8.0, 0.0, 0.0, 1.0};
const double k_to[9] = {3.0, -2.0, 4.5, 10.0, 4.0, 0.0, 1.0, 0.0, 0.0};

}  // namespace

TEST(CameraFrame, SetStoresSinglePrecisionWithStateOne) {
  const double v[9] = {0.1, 2.0, -3.0, 4.0, 5.0, 6.0, 0.0, 0.0, 1.0};
  const camera_frame f = make(v);
  expect_vec(f.eye, 1, 0.1f, 2.0f, -3.0f);
  expect_vec(f.centre, 1, 4.0f, 5.0f, 6.0f);
  expect_vec(f.up, 1, 0.0f, 0.0f, 1.0f);
}

TEST(CameraFrame, LerpAtZeroHalfAndOne) {
  const camera_frame from = make(k_from), to = make(k_to);
  camera_frame r;
  const double zero = 0.0, half = 0.5, one = 1.0;
  r.lerp(&zero, &from, &to);
  expect_vec(r.eye, 1, 1.0f, 2.0f, 3.0f);
  expect_vec(r.centre, 1, 0.0f, -4.0f, 8.0f);
  expect_vec(r.up, 1, 0.0f, 0.0f, 1.0f);
  r.lerp(&one, &from, &to);
  expect_vec(r.eye, 1, 3.0f, -2.0f, 4.5f);
  expect_vec(r.centre, 1, 10.0f, 4.0f, 0.0f);
  expect_vec(r.up, 1, 1.0f, 0.0f, 0.0f);
  r.lerp(&half, &from, &to);
  expect_vec(r.eye, 1, 2.0f, 0.0f, 3.75f);
  expect_vec(r.centre, 1, 5.0f, 0.0f, 4.0f);
  expect_vec(r.up, 1, 0.5f, 0.0f, 0.5f);
}

TEST(CameraFrame, LerpWeightIsRoundedToFloat) {
  camera_frame from, to, r;
  const double a[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
  const double b[9] = {9, 0, 0, 0, 0, 0, 0, 0, 0};
  from = make(a);
  to = make(b);
  const double t = 0.1;  // not a float
  r.lerp(&t, &from, &to);
  // 9 * float(0.1) = 0.90000004 in single precision; 9 * 0.1 would give 0.9f.
  EXPECT_EQ(r.eye.x, static_cast<float>(9.0 * static_cast<double>(0.1f)));
  EXPECT_NE(r.eye.x, 0.9f);
}

TEST(CameraFrame, LerpFromInvalidVectorGivesValidZero) {
  camera_frame from = make(k_from);
  const camera_frame to = make(k_to);
  from.centre.state = 0;
  camera_frame r;
  const double half = 0.5;
  r.lerp(&half, &from, &to);
  expect_vec(r.centre, 1, 0.0f, 0.0f, 0.0f);
  expect_vec(r.eye, 1, 2.0f, 0.0f, 3.75f);  // the others are unaffected
}

TEST(CameraFrame, LerpIntoItselfAsFrom) {
  // The camera keys blend the scene camera from itself toward a key frame.
  camera_frame cam = make(k_from);
  const camera_frame key = make(k_to);
  const double w = 0.25;
  cam.lerp(&w, &cam, &key);
  expect_vec(cam.eye, 1, 1.5f, 1.0f, 3.375f);
  expect_vec(cam.centre, 1, 2.5f, -2.0f, 6.0f);
  expect_vec(cam.up, 1, 0.25f, 0.0f, 0.75f);
}

TEST(CameraFrame, ApplyCallsLookAtWithTheNineValues) {
  const double v[9] = {0.1, 2.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0};
  const camera_frame f = make(v);
  gl_recorder rec;
  {
    gl_recording scope(rec);
    f.apply();
  }
  ASSERT_EQ(rec.calls.size(), 1u);
  EXPECT_EQ(rec.calls[0].op, gl_call::kind::look_at);
  const double widened[9] = {static_cast<double>(0.1f), 2, 0, 0, 0, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(rec.calls[0].a[i], widened[i]) << i;
  EXPECT_EQ(g_gl_recorder, nullptr);  // the scope restored the shipped path
}
