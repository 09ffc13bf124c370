// Linked into programs whose windows nobody is meant to see (the headless renderer, tests): their
// windows live in memory whatever display there is, from the first one on.
#include "platform/native/user/backend.h"

namespace {

[[maybe_unused]] const bool kHeadless = [] {
  zantrel::user::UseBackend(zantrel::user::HeadlessBackend());
  return true;
}();

}  // namespace
