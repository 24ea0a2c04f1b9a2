// .X files through the pre-scan and then, for what it accepts, the importer,
// in this process (as the helper program runs them), so the fuzzer sees both
// verdicts and the importer's coverage. The pre-scan refuses with a reason;
// whatever it accepts the importer reads without a crash and without an
// absurd allocation (run with -malloc_limit_mb so one counts as a failure),
// and either fails cleanly or gives a mesh whose indices and attributes are
// in range and survive the trip through the helper's reply encoding.
#include <cstdint>
#include <cstdlib>

#include "d3dx/XFileParse.h"
#include "d3dx/XFileWire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace d3dx::detail;
    std::string why;
    if (!AcceptXFile(data, size, &why)) {
        if (why.empty()) std::abort();
        return 0;
    }
    XMeshData mesh;
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
