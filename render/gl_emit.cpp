#include "gl_emit.hpp"

gl_recorder* g_gl_recorder = nullptr;
