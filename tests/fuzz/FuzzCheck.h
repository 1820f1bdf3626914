// What a fuzz target asserts beyond "no crash": a property that fails stops the run with the
// condition and its place, so that libFuzzer keeps the input as a crash and the replay fails.
#pragma once

#include <cstdio>
#include <cstdlib>

#define SV_FUZZ_CHECK(condition)                                                                   \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
