#include "shell/dev_instruments.hpp"

#include "production/parts.hpp"

#ifndef QUILLMERE_DEV_SWITCH_RECORD_STATE
#define QUILLMERE_DEV_SWITCH_RECORD_STATE 0
#endif
#ifndef QUILLMERE_DEV_SWITCH_LOAD_STATE
#define QUILLMERE_DEV_SWITCH_LOAD_STATE 0
#endif
#ifndef QUILLMERE_DEV_SWITCH_ASSET_REPORT
#define QUILLMERE_DEV_SWITCH_ASSET_REPORT 0
#endif
#ifndef QUILLMERE_DEV_SWITCH_BENCHMARK_LOG
#define QUILLMERE_DEV_SWITCH_BENCHMARK_LOG 0
#endif
#ifndef QUILLMERE_DEV_SWITCH_DEV_MODE
#define QUILLMERE_DEV_SWITCH_DEV_MODE 0
#endif

bool g_record_state = QUILLMERE_DEV_SWITCH_RECORD_STATE;
bool g_load_state = QUILLMERE_DEV_SWITCH_LOAD_STATE;
bool g_asset_report = QUILLMERE_DEV_SWITCH_ASSET_REPORT;
bool g_benchmark_log = QUILLMERE_DEV_SWITCH_BENCHMARK_LOG;

bool dev_switches_built_in() {
    return QUILLMERE_DEV_SWITCH_RECORD_STATE || QUILLMERE_DEV_SWITCH_LOAD_STATE ||
           QUILLMERE_DEV_SWITCH_ASSET_REPORT || QUILLMERE_DEV_SWITCH_BENCHMARK_LOG ||
           QUILLMERE_DEV_SWITCH_DEV_MODE;
}

void render_development_parts(parts* const* slots, double* frame_delta, offscreen_target* target,
                              scene_context* scene, frame_input* input) {
    constexpr int order[] = {1, 0, 2, 3, 4, 6, 5, 7, 8, 9};
    for (const int slot : order) {
        if (slots[slot]) slots[slot]->render(frame_delta, target, scene, input);
    }
}

std::optional<double> start_section_time(int section) {
    switch (section) {
        case 1: return 32.2;
        case 2: return 74.1;
        case 3: return 130.0;
        case 4: return 209.0;
        case 5: return 296.88;
        default: return std::nullopt;
    }
}
