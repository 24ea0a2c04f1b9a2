// Effect files: any text either fails with a message or parses into
// techniques that all have passes with both stages.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "d3dx/EffectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    d3dx::detail::EffectFile file;
    std::string error;
    bool ok = d3dx::detail::ParseEffectFile(reinterpret_cast<const char*>(data), size, file, &error);
    if (!ok) {
        if (error.empty() || !file.techniques.empty()) std::abort();
        return 0;
    }
    if (file.techniques.empty()) std::abort();
    for (const auto& t : file.techniques) {
        if (t.passes.empty()) std::abort();
        for (const auto& p : t.passes) (void)d3dx::detail::StageSource(file, p.vertex, true);
    }
    return 0;
}
