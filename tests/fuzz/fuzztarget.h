#pragma once

// One fuzz target per tests/fuzz/fuzz_<subject>.cpp, written as
//
//     QUILLON_FUZZ_TARGET(subject) { ...; return true; }
//
// The body gets `data` and `size` and returns false when an invariant of the parser broke
// (the input is then a finding even though nothing crashed). Built with QUILLON_FUZZ_LIBFUZZER
// it becomes the libFuzzer entry of its own program; otherwise it registers itself by name so
// that tst_fuzzregressions can run every target over the kept findings in an ordinary build.
// Main thread.

#include <cstddef>
#include <cstdint>

namespace quillon::fuzz {

using TargetFunction = bool (*)(const std::uint8_t* data, std::size_t size);

// Registers a target under a name; returns true so it can initialise a static.
bool registerTarget(const char* name, TargetFunction function);
// The registered target of that name, or nullptr.
TargetFunction target(const char* name);

} // namespace quillon::fuzz

#ifdef QUILLON_FUZZ_LIBFUZZER
#include <cstdio>
#include <cstdlib>
#define QUILLON_FUZZ_ENTRY(name)                                                              \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)        \
    {                                                                                         \
        if (!quillonFuzz_##name(data, size)) {                                                \
            std::fprintf(stderr, "fuzz target " #name ": an invariant broke on this input\n"); \
            std::abort();                                                                     \
        }                                                                                     \
        return 0;                                                                             \
    }
#else
#define QUILLON_FUZZ_ENTRY(name)                                                              \
    static const bool quillonFuzzRegistered_##name =                                          \
        quillon::fuzz::registerTarget(#name, &quillonFuzz_##name);
#endif

#define QUILLON_FUZZ_TARGET(name)                                                             \
    static bool quillonFuzz_##name(const std::uint8_t* data, std::size_t size);               \
    QUILLON_FUZZ_ENTRY(name)                                                                  \
    static bool quillonFuzz_##name(const std::uint8_t* data, std::size_t size)
