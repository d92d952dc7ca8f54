// Counts every allocation through the global operator new of the program it is linked into, so
// that a benchmark can show a code path allocates nothing.
#pragma once

#include <cstdint>

// Allocations made through any form of operator new or new[] since the program started.
uint64_t AllocationCount();
