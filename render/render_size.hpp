#pragma once
// The size the scene is rendered at: the render pass's aspect ratio, its
// off-screen viewport and the size of its frame copy. The shell sets it from
// the chosen display mode before the first frame.
extern int g_render_width;
extern int g_render_height;
