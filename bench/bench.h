// Google Benchmark on the host; the same API from minibench.h in the Win32 build.
#pragma once

#ifdef ZANTREL_MINIBENCH
#include "bench/minibench.h"
#else
#include <benchmark/benchmark.h>
#endif
