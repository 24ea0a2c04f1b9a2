// The level checker's reader and checker: any bytes give a report without a
// crash or an endless search. A file the reader finds well formed is read
// back the same after writing it out, and the checker agrees it is well
// formed; a malformed one is never called completable.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kmf/KmfChecker.h"
#include "kmf/KmfLevel.h"

namespace {

bool SameBits(const kmf::Vec3& a, const kmf::Vec3& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameLevel(const kmf::KmfLevel& a, const kmf::KmfLevel& b)
{
    if (a.grid != b.grid || a.coins.size() != b.coins.size()) return false;
    for (std::size_t i = 0; i < a.coins.size(); ++i)
        if (a.coins[i].active != b.coins[i].active || !SameBits(a.coins[i].position, b.coins[i].position)) return false;
    return SameBits(a.goal, b.goal) && SameBits(a.start, b.start);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    const kmf::KmfParse parse = kmf::ParseKmf(bytes);
    if (parse.fileSize != size) std::abort();
    if (parse.level.coins.size() > static_cast<std::size_t>(kmf::kCoinTableSize)) std::abort();

    const kmf::KmfReport report = kmf::CheckKmfBytes(bytes);
    if (report.wellFormed != parse.WellFormed()) std::abort();
    if (report.completable && (!report.wellFormed || !report.blockers.empty())) std::abort();
    if (report.wellFormed && report.targets.size() > parse.level.coins.size() + 1) std::abort();
    kmf::FormatReport("fuzz.kmf", report, true);

    if (parse.WellFormed()) {
        if (!parse.complete) std::abort();
        const kmf::KmfParse again = kmf::ParseKmf(kmf::SerializeKmf(parse.level));
        if (!again.WellFormed() || !SameLevel(parse.level, again.level)) std::abort();
    }
    return 0;
}
