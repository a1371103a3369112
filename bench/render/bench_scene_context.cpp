// The scene context's size and the cost of building and releasing it with its
// 10000 3DS importers, as static construction does at start-up.
#include <benchmark/benchmark.h>

#include <memory>

#include "render/scene_context.hpp"

static void SceneContextConstruction(benchmark::State& state) {
    for (auto _ : state) {
        auto scene = std::make_unique<scene_context>();
        benchmark::DoNotOptimize(scene.get());
    }
    state.counters["bytes"] = static_cast<double>(sizeof(scene_context));
    state.counters["importer_bytes"] = static_cast<double>(sizeof(scene_context::models));
}
BENCHMARK(SceneContextConstruction)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
