#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property is a finding: print what broke and abort, so that libFuzzer saves the
// input that shows it.
#define FUZZ_REQUIRE(condition, what)                                                              \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n  (%s)\n", __FILE__, __LINE__, what, \
                         #condition);                                                              \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
