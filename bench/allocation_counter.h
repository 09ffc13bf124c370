// Counts every heap allocation made through operator new in the benchmark program.
#pragma once

#include <cstdint>

std::int64_t HeapAllocations();
