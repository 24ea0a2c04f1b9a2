// kmfcheck [-v] FILE.kmf...: says whether each level file is well formed and
// can be completed, and what stands in the way when not.
// Exit status: 0 all can be completed, 1 one cannot be completed,
// 2 one is not a well-formed level file, 3 one cannot be read or bad usage.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "kmf/KmfChecker.h"
#include "kmf/KmfLevel.h"

int main(int argc, char** argv)
{
    bool verbose = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-v") == 0)
            verbose = true;
        else
            files.push_back(argv[i]);
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: kmfcheck [-v] FILE.kmf...\n");
        return 3;
    }
    int status = 0;
    for (const std::string& file : files) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        if (!kmf::ReadFileBytes(file, bytes, error)) {
            std::fprintf(stderr, "kmfcheck: %s\n", error.c_str());
            status = 3;
            continue;
        }
        const kmf::KmfReport report = kmf::CheckKmfBytes(bytes);
        std::fputs(kmf::FormatReport(file, report, verbose).c_str(), stdout);
        status = std::max(status, !report.wellFormed ? 2 : (!report.completable ? 1 : 0));
    }
    return status;
}
