#pragma once
// The film-strip ribbons of the last minute: a straight strip of frames
// drawn twice, dark and then bright, darkening what lies under it.
class scene_context;
class spline_path;
struct vec3;

// Appends 600 unit steps up from `start` (the start itself excluded) as
// points without widths.
void build_film_path(spline_path& path, vec3 start);

struct film_strip_passes {
    float dark[3];     // where the dark pass is drawn
    float bright[3];   // where the bright pass is drawn
    double width, length;
    bool depth_test_off_before_bright;
};

// Binds slot 222 and then the film frame of this sixtieth of a second (the
// binding in force), multiplies the picture by one minus the texture colour
// and draws the two passes at progress; leaves the blend function
// (SRC_ALPHA, ONE_MINUS_SRC_ALPHA), blending and texturing on.
void draw_film_strip(const scene_context* scene, int texture_base, const spline_path& path, double t,
                     double progress, const film_strip_passes& passes);
