// Files may grow to a few bytes only while the object lives, as on a full
// disk: writes past the limit fail with EFBIG ("File too large") instead of
// raising SIGXFSZ. Works for root too, unlike a folder made read-only.
//
//     { FileSizeLimit full(40); EXPECT_FALSE(list.Save(...)); }
#pragma once

#include <sys/resource.h>

#include <csignal>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        set_ = getrlimit(RLIMIT_FSIZE, &previous_) == 0;
        rlimit small = previous_;
        small.rlim_cur = bytes;
        set_ = set_ && setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        if (set_) setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool Active() const { return set_; }  // false when the limit could not be set

private:
    rlimit previous_{};
    bool set_ = false;
    void (*previousSignal_)(int) = SIG_DFL;
};
