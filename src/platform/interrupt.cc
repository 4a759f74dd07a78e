#include "platform/interrupt.h"

#include <atomic>

namespace tessary::platform {
namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void OnInterrupt(int) { interrupted.store(true); }

}  // namespace

ScopedInterruptCatcher::ScopedInterruptCatcher() {
  interrupted.store(false);
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a blocked read returns and sees the flag
  sigaction(SIGINT, &action, &saved_);
}

ScopedInterruptCatcher::~ScopedInterruptCatcher() { sigaction(SIGINT, &saved_, nullptr); }

bool InterruptRequested() { return interrupted.load(); }

}  // namespace tessary::platform
