#pragma once
// Ctrl-C during a long file operation: while a catcher is alive, SIGINT only raises a flag that
// the operation reads between pieces of work (a blocked read returns at once), so it can stop
// cleanly, remove what it had half written and report itself cancelled instead of the process
// dying in the middle.

#include <csignal>

namespace tessary::platform {

class ScopedInterruptCatcher {
 public:
  // Clears the flag and catches SIGINT; the earlier handling returns with the destructor.
  ScopedInterruptCatcher();
  ~ScopedInterruptCatcher();
  ScopedInterruptCatcher(const ScopedInterruptCatcher&) = delete;
  ScopedInterruptCatcher& operator=(const ScopedInterruptCatcher&) = delete;

 private:
  struct sigaction saved_ {};
};

// True once SIGINT arrived while a catcher was alive.
bool InterruptRequested();

}  // namespace tessary::platform
