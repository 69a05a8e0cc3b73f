#include "fuzz_input.h"

#include <cstdio>
#include <cstdlib>

namespace tessel::fuzz {

void CheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, condition);
    std::abort();
}

}  // namespace tessel::fuzz
