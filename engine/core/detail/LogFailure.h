// The one line on standard error a failed load leaves: "who: file: reason",
// for classes with no device behind them (sound) as for the drawing ones.
#pragma once

#include <cstdio>

namespace vcore {

// "who: what: reason", once per failure.
inline void LogFailure(const char* who, const char* what, const char* reason)
{
    std::fprintf(stderr, "%s: %s: %s\n", who, what && *what ? what : "(no file name)", reason);
}

}  // namespace vcore
