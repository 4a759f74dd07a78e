#include "cli/terminal_progress_host.h"

#include <unistd.h>

#include <csignal>

namespace tessary::cli {
namespace {

using Clock = std::chrono::steady_clock;
// A run shorter than this shows no bar at all.
constexpr auto kMoment = std::chrono::milliseconds(500);
constexpr auto kRedraw = std::chrono::milliseconds(100);
constexpr int kBarWidth = 30;
// Kept below a common terminal's width, so the line never wraps.
constexpr std::size_t kLineWidth = 79;
// The counters of the export's progress template: this container and the total.
constexpr int kContainerCountId = 1068;
constexpr int kTotalCountId = 1070;

std::atomic<int> g_interrupts{0};

void OnInterrupt(int) { TerminalProgressHost::Interrupt(); }

// The status's last line: the container's name of "Searching for objects in the container:\n"
// + name, which is what changes; a one-line status whole.
std::string LastLine(const std::string& text) {
  const std::size_t end = text.find_last_not_of("\r\n");
  if (end == std::string::npos) return {};
  const std::size_t start = text.find_last_of("\r\n", end);
  const std::size_t first = start == std::string::npos ? 0 : start + 1;
  return text.substr(first, end + 1 - first);
}

}  // namespace

void TerminalProgressHost::Interrupt() {
  if (g_interrupts.fetch_add(1) >= 1) {
    static const char kLine[] = "\nInterrupted.\n";
    (void)!write(STDERR_FILENO, kLine, sizeof kLine - 1);
    _exit(130);
  }
}

int TerminalProgressHost::Interrupts() { return g_interrupts.load(); }

int TerminalProgressHost::RunModal(const platform::ProgressDialogLayout& layout,
                                   platform::ProgressEvents& events) {
  {
    std::lock_guard lock(mutex_);
    layout_ = layout;
    texts_.clear();
    upper_ = position_ = 0;
    step_ = 1;
    running_ = true;
    ended_ = false;
    drawn_ = false;
  }
  struct sigaction action {
  }, previous{};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous);

  // Counted before the work starts: a Ctrl-C (or the work's own interrupt) in its first moments
  // must not be taken for one that came before the run.
  const int interrupts_before = g_interrupts.load();
  events.OnInitDialog();
  const auto started = Clock::now();
  bool cancel_pressed = false;
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait_for(lock, kRedraw, [this] { return ended_; });
      if (ended_) break;
    }
    if (!cancel_pressed && g_interrupts.load() > interrupts_before) {
      cancel_pressed = true;
      events.OnCommand(layout.cancel_id);
    }
    if (draw_ && Clock::now() - started >= kMoment) Draw();
  }
  sigaction(SIGINT, &previous, nullptr);
  std::lock_guard lock(mutex_);
  running_ = false;
  if (drawn_) {
    err_ << "\r\x1b[K";
    err_.flush();
  }
  return result_;
}

void TerminalProgressHost::EndModal(int result) {
  std::lock_guard lock(mutex_);
  if (!running_) return;
  result_ = result;
  ended_ = true;
  changed_.notify_all();
}

void TerminalProgressHost::SetControlText(int control_id, const std::string& text) {
  std::lock_guard lock(mutex_);
  if (running_) texts_[control_id] = text;
}

void TerminalProgressHost::SetBarRange(int, int upper, int step) {
  std::lock_guard lock(mutex_);
  upper_ = upper;
  step_ = step;
  position_ = 0;
}

void TerminalProgressHost::StepBar(int) {
  std::lock_guard lock(mutex_);
  position_ += step_;
  if (upper_ > 0 && position_ > upper_) position_ = 0;  // as a bar wraps past its end
}

void TerminalProgressHost::SetBarPosition(int, int position) {
  std::lock_guard lock(mutex_);
  position_ = position;
}

int TerminalProgressHost::BarUpper(int) {
  std::lock_guard lock(mutex_);
  return upper_;
}

std::string TerminalProgressHost::BarLine() {
  std::lock_guard lock(mutex_);
  std::string line;
  if (upper_ > 0) {
    const int filled = static_cast<int>(static_cast<long long>(position_) * kBarWidth / upper_);
    line = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] ";
  }
  if (auto total = texts_.find(kTotalCountId); total != texts_.end()) {
    line += "Total found: " + total->second;
    if (auto here = texts_.find(kContainerCountId); here != texts_.end()) {
      line += ", found in this container: " + here->second;
    }
    line += " ";
  }
  if (auto status = texts_.find(layout_.status_id); status != texts_.end()) {
    line += LastLine(status->second);
  }
  return line;
}

void TerminalProgressHost::Draw() {
  std::string line = BarLine();
  if (line.size() > kLineWidth) line.resize(kLineWidth);
  std::lock_guard lock(mutex_);
  err_ << "\r" << line << "\x1b[K";
  err_.flush();
  drawn_ = true;
}

}  // namespace tessary::cli
