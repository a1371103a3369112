#include "production/part_start.hpp"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "render/outline_tessellator.hpp"
#include "render/random.hpp"
#include "render/scene_context.hpp"

part_start* g_current_part = nullptr;
double g_part_time = 0.0;
frame_input g_frame_input_copy;

namespace {

struct texture_load {
    int slot;
    const char* colour;
    const char* alpha;   // null for a colour-only image
};

// Loaded in this order after the film frames; a file may fill several slots.
constexpr texture_load late_textures[] = {
    {222, "textures/aera.jpg", nullptr},
    {111, "textures/cel1.jpg", nullptr},
    {350, "textures/thetrees.jpg", nullptr},
    {450, "textures/front3.jpg", nullptr},
    {451, "textures/front.jpg", nullptr},
    {452, "textures/bicycle.jpg", nullptr},
    {50, "textures/gaitisa.jpg", "textures/gaitisa.jpg"},
    {250, "textures/mincer.jpg", "textures/mincera.jpg"},
    {150, "textures/man.jpg", "textures/mana.jpg"},
    {151, "textures/leg.jpg", "textures/lega.jpg"},
    {60, "textures/brysh.jpg", "textures/brysha.jpg"},
    {55, "textures/chain.jpg", "textures/chain.jpg"},
    {910, "textures/fish.jpg", "textures/fisha.jpg"},
    {911, "textures/dead_fish.jpg", "textures/dead_fish_alpha.jpg"},
    {990, "textures/q-.jpg", "textures/q-_alpha.jpg"},
    {1000, "textures/-.jpg", "textures/-_alpha.jpg"},
    {1001, "textures/-_flow.jpg", "textures/-_flow.jpg"},
    {1010, "textures/I.jpg", "textures/I_alpha.jpg"},
    {1011, "textures/I_flow.jpg", "textures/I_flow.jpg"},
    {1020, "textures/corner1.jpg", "textures/corner1_alpha.jpg"},
    {1021, "textures/corner1_flow.jpg", "textures/corner1_flow.jpg"},
    {1030, "textures/corner2.jpg", "textures/corner2_alpha.jpg"},
    {1031, "textures/corner2_flow.jpg", "textures/corner2_flow.jpg"},
    {1040, "textures/corner3.jpg", "textures/corner3_alpha.jpg"},
    {1041, "textures/corner3_flow.jpg", "textures/corner3_flow.jpg"},
    {1050, "textures/corner4.jpg", "textures/corner4_alpha.jpg"},
    {1051, "textures/corner4_flow.jpg", "textures/corner4_flow.jpg"},
    {2000, "textures/cemetary.jpg", nullptr},
    {24, "textures/pattern.jpg", nullptr},
    {224, "textures/patternr.jpg", nullptr},
    {25, "textures/pattern4.jpg", nullptr},
    {30, "textures/pattern5.jpg", nullptr},
    {31, "textures/pattern6.jpg", nullptr},
    {32, "textures/pattern3.jpg", nullptr},
    {33, "textures/pattern4.jpg", nullptr},
    {34, "textures/pattern.jpg", nullptr},
};

vec3 valid_zero() { return vec3{1, 0.0f, 0.0f, 0.0f}; }

// Turns v by theta radians about the z axis.
void turn(vec3* v, double theta) {
    const double zero = 0.0;
    rotate_vec3_euler(v, &zero, &zero, &theta);
}

}  // namespace

part_start::part_start() {
    for (vec3& p : scatter_points) p = valid_zero();
    camera_copy.eye = valid_zero();
    camera_copy.centre = valid_zero();
    camera_copy.up = valid_zero();
}

void part_start::load(scene_context* scene) {
    time = 0.0;
    frame_start_time = 0.0;
    frame_count = 0;
    texture_base = 0;
    copy_slot = 0;
    option_values[0] = 4;
    option_values[3] = 1;
    option_values[4] = 2;
    option_values[5] = 3;
    option_values[9] = 0;
    option_values[15] = 2;
    option_values[23] = 21;
    option_values[26] = 23;

    std::int32_t figures = 0;
    outline_tessellator::build_lists("textures//fhammer.txt", &figures, 1999, 1.0);
    outline_tessellator::build_lists("textures//f.txt", &figures, 9, 1.0);
    outline_tessellator::build_lists("textures//f2.txt", &figures, 99, 1.0);
    outline_tessellator::build_shape_lists("textures//f3.txt", &figures, 1000, 1.0);

    load_textures(scene);
    generate_strands();
    generate_walk_path();
    generate_scatter_points();
    time = -6.0;
    fast_clock = 0.0;
}

void part_start::load_textures(scene_context* scene) {
    // These parameter calls land on whatever texture is bound at that moment:
    // the first pair on the one bound before loading, the next on slot 10's,
    // the nearest filter on slot 11's.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    scene->load_jpeg_texture("textures/blob41b.jpg", texture_base + 10);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    scene->load_jpeg_texture("textures/gradient13.jpg", texture_base + 11);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, 9728.0f);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, 9728.0f);
    for (int k = 1; k <= 60; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "textures/MWSnap%03d.jpg", k);
        scene->load_jpeg_texture(name, texture_base + 799 + k);
    }
    for (const texture_load& t : late_textures) {
        if (t.alpha)
            scene->load_jpeg_texture_with_alpha(t.colour, t.alpha, texture_base + t.slot);
        else
            scene->load_jpeg_texture(t.colour, texture_base + t.slot);
    }
    glTexParameterf(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, 9729.0f);
    glTexParameterf(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, 9729.0f);
}

void part_start::generate_strands() {
    for (int i = 0; i < 200; ++i) {
        spline_path& strand = strand_paths[i];
        strand.clear();
        strand.closed = false;
        // The start comes from the state the previous strand left behind.
        const double start_draw = random_unit();
        vec3 point = make_vec3(0.0f, static_cast<float>(3.0 * start_draw - 1.5), 0.0f);
        const double dx = random_unit();
        const double dy = random_unit();
        vec3 direction = make_vec3(static_cast<float>(2.0 * dx - 1.0), static_cast<float>(2.0 * dy - 1.0), 0.0f);
        direction.normalize();
        qm_srand(static_cast<std::uint32_t>(i + 23423423));
        for (int j = 0; j < 150; ++j) {
            vec3_add(&point, &direction, &point);
            turn(&direction, (random_unit() - 0.5) * 2.6);
            const float width = static_cast<float>(0.15 * std::sin(2.3 * j) + 0.2);
            const vec3 record = make_vec3(width, 0.0f, 0.0f);
            strand.points.push_back(point);
            strand.widths.push_back(record);
            strand.spare_a.push_back(record);
            ++strand.count;
            if (random_unit() < 0.1) {
                for (int b = 0; b < 9; ++b) {
                    vec3_add(&point, &direction, &point);
                    turn(&direction, -0.063);
                    strand.points.push_back(point);
                    strand.widths.push_back(record);
                    strand.spare_a.push_back(record);
                    ++strand.count;
                }
            }
        }
    }
}

void part_start::generate_walk_path() {
    qm_srand(4234234);
    walk_path.clear();
    vec3 point = valid_zero();
    for (int i = 0; i < 1000; ++i) {
        point.x += 1.0f;
        if (random_unit() < 0.05)
            for (int repeat = 0; repeat < 5; ++repeat) walk_path.append_point(&point);
        walk_path.append_point(&point);
    }
}

void part_start::generate_scatter_points() {
    for (vec3& p : scatter_points) {
        const double x = random_unit();
        const double y = random_unit();
        p = make_vec3(static_cast<float>(2.0 * x - 1.0), static_cast<float>(2.0 * y - 1.0), 0.0f);
    }
}
