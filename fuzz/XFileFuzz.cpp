// .X files: any bytes either fail cleanly or give a mesh whose indices and
// attributes are in range.
#include <cstdint>
#include <cstdlib>

#include "d3dx/XFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    d3dx::detail::XMeshData mesh;
    if (!d3dx::detail::ReadXFile(data, size, mesh, nullptr)) return 0;
    size_t vertices = mesh.VertexCount();
    for (uint32_t i : mesh.indices)
        if (i >= vertices) std::abort();
    for (size_t f = 0; f < mesh.FaceCount(); ++f) {
        if (mesh.attributes[f] >= mesh.materials.size()) std::abort();
        if (f && mesh.attributes[f] < mesh.attributes[f - 1]) std::abort();
    }
    return 0;
}
