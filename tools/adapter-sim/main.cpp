// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "options.h"
#include "simulator.h"

#include <cstdio>
#include <string>

int main(int argc, char *argv[])
{
    sim::Options options;
    std::string error;
    if (!options.parse(argc, argv, error)) {
        std::fprintf(stderr, "adapter-sim: %s\nTry 'adapter-sim --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(sim::Options::usage().c_str(), stdout);
        return 0;
    }
    sim::Simulator simulator(options);
    return simulator.run();
}
