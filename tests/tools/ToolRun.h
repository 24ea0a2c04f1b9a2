// Runs one of the tools as a user would: "<program> <args> 2>&1" through the
// shell, with its exit status (-1 when it did not exit normally) and
// everything it printed.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

struct ToolRun {
    int status = -1;
    std::string output;
};

inline ToolRun RunTool(const std::string& program, const std::string& args)
{
    ToolRun r;
    const std::string cmd = program + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) r.output += buf;
    const int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}
