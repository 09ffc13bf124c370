// Which window system the native user32 draws on. Only the first backend of the table shows
// windows to a user; any other must be asked for, so that a program never runs unseen by accident.
#include <cstdlib>
#include <string>

#include "platform/native/user/backend.h"

namespace zantrel::user {
namespace {

using BackendGetter = const Backend& (*)();
constexpr BackendGetter kBackends[] = {WindowSystemBackend, HeadlessBackend};

std::string g_unknownRefusal;

const char* RefuseUnknown() { return g_unknownRefusal.c_str(); }
void* NoWindow(const char*, int, int) { return nullptr; }
void Ignore(void*) {}
void IgnorePixels(void*, const std::uint8_t*, int, int, const RECT&) {}
bool NoInput(BackendEvent*) { return false; }

const Backend& UnknownBackend(const std::string& asked) {
  std::string known;
  for (BackendGetter backend : kBackends)
    known += (known.empty() ? "" : ", ") + std::string(backend().name);
  g_unknownRefusal = "ZANTREL_BACKEND=" + asked + " names no window system (known: " + known + ").";
  static const Backend unknown{"unknown", RefuseUnknown, NoWindow, Ignore, Ignore, IgnorePixels,
                               false, NoInput, NoInput};
  return unknown;
}

}  // namespace

const Backend& ChosenBackend() {
  const char* asked = std::getenv("ZANTREL_BACKEND");
  if (!asked || !*asked) return kBackends[0]();
  for (BackendGetter backend : kBackends)
    if (asked == std::string(backend().name)) return backend();
  return UnknownBackend(asked);
}

}  // namespace zantrel::user
