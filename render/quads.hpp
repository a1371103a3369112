// Textured squares of side 2 centred on the origin (corners at
// -1 and +1 in x and y, z = 0) under a rotation about z and a scale.
//
// Each operation multiplies the current model-view matrix (no push or pop),
// issues one glBegin/glEnd block and leaves texture binding, colour and
// blending to the caller. Angles are in degrees; the scale in z is always 0.
#pragma once

// One horizontal offset per row of draw_offset_quad_strip; zero at start,
// filled by the scene drawer's strip layer before it draws.
inline constexpr int row_offset_count = 1000;
extern double g_row_offsets[row_offset_count];

// glRotatef(angle, 0, 0, 1), glScalef(|sx|, sy, 0); one GL_QUADS quad
// (-1,-1), (1,-1), (1,1), (-1,1) with texture (0,0), (1,0), (1,1), (0,1);
// when sx <= 0 the u coordinates are mirrored: (1,0), (0,0), (0,1), (1,1).
void draw_textured_quad(const double* angle, const double* sx, const double* sy);

// glScalef(sx, sy, 0), glRotatef(angle, 0, 0, 1); one quad with texture
// rectangle u from u_start to u_start + size and v from k v_start to
// k (v_start + size), k = sy / sx (keeps the on-screen aspect).
void draw_textured_quad_region(const double* angle, const double* sx, const double* sy,
                               double u_start, double v_start, double size);

// glScalef(sx, sy, 0), glRotatef(angle, 0, 0, 1); a GL_QUAD_STRIP of 1000
// rows from y = -1 (row 0) to y = 0.998 (row 999); row i is shifted sideways
// by g_row_offsets[i] * amount. u runs from u_start to u_start + size (as
// f32), v from 0 to 0.999 (k v_start + k size), k = sy / sx.
void draw_offset_quad_strip(const double* angle, const double* sx, const double* sy,
                            double u_start, double v_start, double size, double ignored,
                            double amount);
