// The eight keyed camera poses blended into the scene camera every frame.
#include <cmath>

#include "production/part_start.hpp"
#include "render/scene_context.hpp"
#include "render/shaping.hpp"

namespace {

double clamp01(double x) { return x > 1.0 ? 1.0 : (x < 0.0 ? 0.0 : x); }
double pos(double x) { return x >= 0.0 ? x : 0.0; }
double p1(double x) {
    const double q = 1.0;
    return shape_cosine_pulse(&x, &q);
}
double p2(double x) {
    const double q = 2.0;
    return shape_cosine_pulse(&x, &q);
}
double g(double x) { return shape_gamma_ramp(&x); }

struct key_pose {
    double start;
    double rate;
    double ex, ey, ez;
    double ux, uy;
};

// Sums are written left to right as the poses are defined.
void compute_keys(double t, key_pose keys[8]) {
    const double key1_rise = 30.0 * p2(clamp01((t - 46.0) * 0.1));
    keys[0] = {31, 0.3, (t - 30.0) * 12.0,
               170.0 + key1_rise - 10.0 * p2(clamp01(0.1 * (t - 57.0))),
               18.0 * p2(std::sin(M_PI * clamp01((t - 63.8) * 0.05))) + 0.5 * key1_rise + 66.0, 0, 1};
    keys[1] = {85, 0.1, 826.0 - 20.0 * p1(clamp01((t - 89.0) * 0.05)),
               -10.0 * g(pos((t - 102.0) * 0.35)) + (t - 80.0) * (-12.0) + 170.0,
               32.0 * p1(clamp01((t - 89.0) * 0.13)) + 63.0, -1, 0.0 * clamp01((t - 121.0) * 0.01)};
    const double sweep = 1.2 * (43.0 * g(pos((t - 120.0) * 0.5)));
    keys[2] = {116, 0.11, -20.0 * g(pos((t - 132.0) * 0.35)) + 912.0,
               (t - 125.0) * 50.0 + 570.0 - sweep - 720.0, 83.0, -1, 0};
    keys[3] = {152, 0.13, 790.0, (t - 125.0) * 40.0 + 570.0 - sweep + 450.0 - 720.0, 125.0, -1, 0};
    keys[4] = {169, 0.1, 15.6 * (5.0 * g(0.3 * pos(t - 176.0 - 6.0))) + 350.0 + 850.0 - 60.0,
               (t - 125.0) * 40.0 + 570.0 - 0.85 * sweep + 250.0 + 210.0 - 720.0,
               50.0 * p2(clamp01((t - 185.0) * 0.2)) + 125.0, -1, 0};
    keys[5] = {220, 0.13, 1240.0 + 350.0 + 850.0 - 60.0, 96.0 * g(0.3 * pos(t - 222.0)) + 2620.0 - 720.0,
               245.2, -1, 0};
    keys[6] = {231, 0.2,
               17.6 * (10.0 * p1(clamp01((t - 244.0) * 0.13))) + (1240.0 - 308.00000000000006) + 350.0 +
                   850.0 - 60.0,
               96.0 * g(0.5 * pos(t - 222.0)) + 2620.0 + 20.0 - 720.0, 225.2, -1, 0};
    keys[7] = {249, 0.16, 760.0 - 30.0 * (0.5 * (t - 250.0)) + 110.00000000000001 + 350.0 + 850.0 - 60.0,
               1.3 * (10.0 * (t - 250.0)) + 4225.0 - 720.0, 265.2, -1, 0};
}

}  // namespace

void part_start::apply_camera_keys(scene_context* scene) {
    key_pose keys[8];
    compute_keys(time, keys);
    for (const key_pose& key : keys) {
        camera_frame pose;
        const double cz = 0.0, uz = 0.0;
        pose.set(&key.ex, &key.ey, &key.ez, &key.ex, &key.ey, &cz, &key.ux, &key.uy, &uz);
        const double weight = p1(clamp01((time - key.start) * key.rate));
        const camera_frame from = scene->camera;
        scene->camera.lerp(&weight, &from, &pose);
    }
}
