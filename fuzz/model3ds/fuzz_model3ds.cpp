// libFuzzer target: any byte string through the in-memory 3DS parse.
#include "model3ds/l3ds.hpp"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  L3DS reader;
  if (reader.ReadModelBuffer(data, size)) {
    // Touch what a caller would use, so the results are checked by the
    // sanitizers too.
    for (const LMesh& mesh : reader.Meshes()) {
      for (std::size_t j = 0; j < mesh.TriangleCount(); ++j) {
        const MeshTriangleRecord& r = mesh.TriangleRecordAt(j);
        if (r.a >= mesh.VertexCount() || r.b >= mesh.VertexCount() || r.c >= mesh.VertexCount())
          __builtin_trap();
      }
    }
  }
  return 0;
}
