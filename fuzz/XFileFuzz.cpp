// .X files, parsed in this process (pre-scan and importer, as the helper
// program runs them), so the fuzzer sees the parser's coverage and crashes:
// any bytes either fail cleanly or give a mesh whose indices and attributes
// are in range, and survive the trip through the helper's reply encoding.
#include <cstdint>
#include <cstdlib>

#include "d3dx/XFileParse.h"
#include "d3dx/XFileWire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace d3dx::detail;
    XMeshData mesh;
    std::string why;
    if (!ParseXFile(data, size, mesh, &why)) {
        if (why.empty() || mesh.FaceCount() != 0) std::abort();
        return 0;
    }
    size_t vertices = mesh.VertexCount();
    for (uint32_t i : mesh.indices)
        if (i >= vertices) std::abort();
    for (size_t f = 0; f < mesh.FaceCount(); ++f) {
        if (mesh.attributes[f] >= mesh.materials.size()) std::abort();
        if (f && mesh.attributes[f] < mesh.attributes[f - 1]) std::abort();
    }
    bool ok = false;
    XMeshData back;
    if (!DecodeXReply(EncodeXReply(true, mesh, why), ok, back, why) || !ok) std::abort();
    if (back.indices != mesh.indices || back.attributes != mesh.attributes || back.positions != mesh.positions)
        std::abort();
    return 0;
}
