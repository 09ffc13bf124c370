// A small stand-in for the part of Google Benchmark's API that bench/ uses, for the Win32 build
// (Debian ships Google Benchmark for the host only). It prints the same JSON shape as
// --benchmark_format=json, so one report script reads both builds.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

namespace benchmark {

class State {
 public:
  explicit State(std::int64_t iterations, std::int64_t arg) : target_(iterations), arg_(arg) {}

  // What `for (auto _ : state)` binds; not trivial, so compilers don't call `_` unused.
  struct Value {
    Value() {}
    ~Value() {}
  };
  struct Iterator {
    State* state;
    std::int64_t left;
    bool operator!=(const Iterator&) const { return left > 0; }
    void operator++() { --left; }
    Value operator*() const { return {}; }
  };
  Iterator begin() {
    start_ = std::chrono::steady_clock::now();
    return {this, error_.empty() ? target_ : 0};
  }
  Iterator end() {
    return {this, 0};
  }
  std::int64_t range(int) const { return arg_; }
  std::int64_t iterations() const { return target_; }
  void SetLabel(const std::string& label) { label_ = label; }
  // Called before the loop: the loop runs no iteration and the report says why.
  void SkipWithError(const char* message) { error_ = message; }
  const std::string& Error() const { return error_; }
  void SetItemsProcessed(std::int64_t) {}
  double Elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }
  struct Counter {
    double value = 0;
    Counter(double v = 0) : value(v) {}
  };
  struct Counters {
    std::vector<std::pair<std::string, double>> entries;
    double& operator[](const std::string& name) {
      for (auto& e : entries)
        if (e.first == name) return e.second;
      entries.emplace_back(name, 0.0);
      return entries.back().second;
    }
  } counters;
  std::string label_;

 private:
  std::string error_;
  std::int64_t target_;
  std::int64_t arg_;
  std::chrono::steady_clock::time_point start_;
};

template <class T>
inline void DoNotOptimize(T&& value) {
  asm volatile("" : : "r,m"(value) : "memory");
}
inline void ClobberMemory() { asm volatile("" : : : "memory"); }

using Function = void (*)(State&);

struct Registration {
  const char* name;
  Function fn;
  std::vector<std::int64_t> args;
  Registration* Arg(std::int64_t a) {
    args.push_back(a);
    return this;
  }
  Registration* DenseRange(std::int64_t lo, std::int64_t hi, std::int64_t step) {
    for (std::int64_t a = lo; a <= hi; a += step) args.push_back(a);
    return this;
  }
  Registration* Unit(int) { return this; }
};

inline std::vector<Registration*>& Registry() {
  static std::vector<Registration*> all;
  return all;
}
inline Registration* Register(const char* name, Function fn) {
  auto* r = new Registration{name, fn, {}};
  Registry().push_back(r);
  return r;
}

constexpr int kMicrosecond = 0;

// Runs each benchmark with growing iteration counts until one run takes at least min_time, and
// reports real time per iteration in nanoseconds. With min_warmup_time, as in Google Benchmark,
// runs that long first go unreported: in WebAssembly the first runs measure code from the quick
// compiler until the optimising one has compiled it, which takes a second on a busy machine.
inline int RunAll(int argc, char** argv) {
  double minTime = 0.3, warmupTime = 0;
  const char* filter = "";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--benchmark_min_time=", 21) == 0) minTime = std::atof(argv[i] + 21);
    if (std::strncmp(argv[i], "--benchmark_min_warmup_time=", 28) == 0) {
      warmupTime = std::atof(argv[i] + 28);
    }
    if (std::strncmp(argv[i], "--benchmark_filter=", 19) == 0) filter = argv[i] + 19;
  }
  const std::regex pattern(filter);
  std::printf("{\n  \"context\": {\"library\": \"minibench\"},\n  \"benchmarks\": [\n");
  bool first = true;
  for (Registration* r : Registry()) {
    std::vector<std::int64_t> args = r->args;
    const bool hasArgs = !args.empty();
    if (!hasArgs) args.push_back(0);
    for (std::int64_t arg : args) {
      std::string name = r->name;
      if (hasArgs) name += "/" + std::to_string(arg);
      if (*filter && !std::regex_search(name, pattern)) continue;
      std::int64_t n = 1;
      double seconds = 0, warmedUp = 0;
      State* last = nullptr;
      for (;;) {
        delete last;
        last = new State(n, arg);
        r->fn(*last);
        seconds = last->Elapsed();
        const bool warm = warmedUp >= warmupTime;
        warmedUp += seconds;
        if (!last->Error().empty() || (warm && seconds >= minTime) || n >= (std::int64_t{1} << 40)) break;
        const double goal = warmedUp < warmupTime ? warmupTime - warmedUp : minTime;
        const double grow = seconds > 0 ? 1.4 * goal / seconds : 100.0;
        n = static_cast<std::int64_t>(static_cast<double>(n) * (grow > 100.0 ? 100.0 : grow)) + 1;
      }
      if (!last->Error().empty()) {
        std::printf("%s    {\"name\": \"%s\", \"run_type\": \"iteration\", \"error_occurred\": true, "
                    "\"error_message\": \"%s\"}",
                    first ? "" : ",\n", name.c_str(), last->Error().c_str());
        first = false;
        delete last;
        continue;
      }
      std::printf("%s    {\"name\": \"%s\", \"run_type\": \"iteration\", \"iterations\": %lld, "
                  "\"real_time\": %.3f, \"cpu_time\": %.3f, \"time_unit\": \"ns\"",
                  first ? "" : ",\n", name.c_str(), static_cast<long long>(n),
                  seconds * 1e9 / static_cast<double>(n), seconds * 1e9 / static_cast<double>(n));
      if (!last->label_.empty()) std::printf(", \"label\": \"%s\"", last->label_.c_str());
      for (auto& [key, value] : last->counters.entries) std::printf(", \"%s\": %.6g", key.c_str(), value);
      std::printf("}");
      first = false;
      delete last;
    }
  }
  std::printf("\n  ]\n}\n");
  return 0;
}

}  // namespace benchmark

#define BENCHMARK_CONCAT2(a, b) a##b
#define BENCHMARK_CONCAT(a, b) BENCHMARK_CONCAT2(a, b)
#define BENCHMARK(fn) \
  static ::benchmark::Registration* BENCHMARK_CONCAT(bench_reg_, __LINE__) = \
      ::benchmark::Register(#fn, fn)
#define BENCHMARK_MAIN() \
  int main(int argc, char** argv) { return ::benchmark::RunAll(argc, argv); }
