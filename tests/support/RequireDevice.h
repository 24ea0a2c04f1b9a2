// What a test does when no window or GL context can be made: under CI=true
// it fails (CI must make one), elsewhere it skips with the reason. Only for
// a missing context; a test never skips because of how our own code behaves.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace rendertest {

// True where a missing GL context must fail the run rather than skip it.
inline bool DeviceRequired()
{
    const char* ci = std::getenv("CI");
    return ci && *ci && std::string(ci) != "false" && std::string(ci) != "0";
}

}  // namespace rendertest

// Ends the test: a failure under CI, a skip elsewhere, with the reason.
#define RENDERTEST_NO_DEVICE(reason)                                   \
    do {                                                               \
        if (rendertest::DeviceRequired())                              \
            GTEST_FAIL() << "no render device under CI: " << (reason); \
        else                                                           \
            GTEST_SKIP() << "no render device: " << (reason);          \
    } while (0)
