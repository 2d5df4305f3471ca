// A property check for the fuzzers: names the broken property and aborts, so that
// libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define Require(property)                                                                 \
    do {                                                                                  \
        if (!(property)) {                                                                \
            std::fprintf(stderr, "property broken: %s (line %d)\n", #property, __LINE__); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (false)
