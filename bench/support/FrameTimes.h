// How every bench times a frame and sums up the times: one timer for the
// engine's frames and the plain-OpenGL floors alike, and the statistics of
// the times it collected.
#pragma once

#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

// One timed frame: the clock starts, frame() draws and presents (its swap or
// present is part of the frame), glFinish waits until the current context's
// pixels are done, and the milliseconds are appended to times (none when
// times is null, for warm-up frames). Returns the milliseconds.
template <typename Frame>
double TimeFrame(Frame&& frame, std::vector<double>* times)
{
    const auto t0 = std::chrono::steady_clock::now();
    frame();
    glFinish();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (times) times->push_back(ms);
    return ms;
}

// Milliseconds since t0, for timing what is not a frame (a set-up).
inline double MillisecondsSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

inline double Median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline double Mean(const std::vector<double>& v)
{
    double sum = 0;
    for (double t : v) sum += t;
    return v.empty() ? 0 : sum / double(v.size());
}

inline double Minimum(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

// a / b, or 0 when b is not positive (a ratio of medians that has no floor).
inline double Ratio(double a, double b)
{
    return b > 0 ? a / b : 0.0;
}

}  // namespace bench
