// Reading the largest installed sample 3DS scene (assimp-testmodels) with our
// importer, lib3ds and assimp's reader, and building the scene context's
// array of 10000 importers.
#include "model3ds/l3ds.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#if QM_HAVE_LIB3DS
#include <lib3ds/file.h>
#endif
#if QM_HAVE_ASSIMP
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#endif

namespace {

// The largest file of the sample folder that starts with a 3DS main chunk.
const std::string& largest_sample() {
  static const std::string path = [] {
    const char* env = std::getenv("QM_3DS_SAMPLE_DIR");
    const std::filesystem::path dir = env ? env : QM_3DS_SAMPLE_DIR;
    std::string best;
    std::uintmax_t best_size = 0;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
      if (!e.is_regular_file()) continue;
      std::ifstream in(e.path(), std::ios::binary);
      char magic[2] = {};
      if (!in.read(magic, 2) || magic[0] != 'M' || magic[1] != 'M') continue;
      if (e.file_size() > best_size) best_size = e.file_size(), best = e.path().string();
    }
    return best;
  }();
  return path;
}

bool need_sample(benchmark::State& state) {
  if (!largest_sample().empty()) return true;
  state.SkipWithError("no sample 3DS file installed (assimp-testmodels)");
  return false;
}

void label(benchmark::State& state) {
  state.SetLabel(std::filesystem::path(largest_sample()).filename().string());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(largest_sample())));
}

void BM_Read_Ours(benchmark::State& state) {
  if (!need_sample(state)) return;
  L3DS reader;
  for (auto _ : state) {
    if (!reader.ReadModelFile(largest_sample().c_str())) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(reader.Meshes().data());
  }
  label(state);
}
BENCHMARK(BM_Read_Ours);

// Without the file read: the parse, re-basing, normals and tangents alone.
void BM_Read_OursFromMemory(benchmark::State& state) {
  if (!need_sample(state)) return;
  std::ifstream in(largest_sample(), std::ios::binary);
  const std::vector<char> bytes(std::istreambuf_iterator<char>(in), {});
  L3DS reader;
  for (auto _ : state) {
    if (!reader.ReadModelBuffer(bytes.data(), bytes.size())) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(reader.Meshes().data());
  }
  label(state);
}
BENCHMARK(BM_Read_OursFromMemory);

#if QM_HAVE_LIB3DS
void BM_Read_Lib3ds(benchmark::State& state) {
  if (!need_sample(state)) return;
  for (auto _ : state) {
    Lib3dsFile* file = lib3ds_file_load(largest_sample().c_str());
    if (!file) state.SkipWithError("lib3ds failed");
    benchmark::DoNotOptimize(file);
    lib3ds_file_free(file);
  }
  label(state);
}
BENCHMARK(BM_Read_Lib3ds);
#endif

#if QM_HAVE_ASSIMP
void read_with_assimp(benchmark::State& state, unsigned flags) {
  if (!need_sample(state)) return;
  for (auto _ : state) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(largest_sample(), flags);
    if (!scene) state.SkipWithError("assimp failed");
    benchmark::DoNotOptimize(scene);
  }
  label(state);
}
// The plain import, and one that also builds what ours builds (smoothed
// normals and tangent frames).
void BM_Read_Assimp(benchmark::State& state) { read_with_assimp(state, 0); }
void BM_Read_AssimpNormalsTangents(benchmark::State& state) {
  read_with_assimp(state, aiProcess_GenSmoothNormals | aiProcess_CalcTangentSpace);
}
BENCHMARK(BM_Read_Assimp);
BENCHMARK(BM_Read_AssimpNormalsTangents);
#endif

// The scene context holds 10000 importers for its whole life; building and
// destroying them is part of start-up and exit.
void BM_ImporterArray10000(benchmark::State& state) {
  constexpr std::size_t kCount = 10000;
  for (auto _ : state) {
    auto models = std::make_unique<L3DS[]>(kCount);
    benchmark::DoNotOptimize(models.get());
  }
  state.counters["bytes_per_array"] = static_cast<double>(sizeof(L3DS) * kCount);
  state.counters["sizeof_L3DS"] = static_cast<double>(sizeof(L3DS));
}
BENCHMARK(BM_ImporterArray10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
