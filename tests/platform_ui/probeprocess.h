#pragma once
// Runs the platform probe (probe/platformprobe.cpp), the tests' second process, while this
// process's event loop keeps running, so that this process can answer it.

#include <string>
#include <utility>
#include <vector>

struct ProbeResult {
    int exitCode = -1;
    bool crashed = false;
    std::string output;
};

// The variables given are set for the probe on top of this process's environment.
ProbeResult RunProbe(const std::vector<std::string>& arguments,
                     const std::vector<std::pair<std::string, std::string>>& environment = {});
