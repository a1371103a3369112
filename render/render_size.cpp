#include "render_size.hpp"

int g_render_width = 0;
int g_render_height = 0;
