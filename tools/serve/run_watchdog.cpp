#include "run_watchdog.hpp"

#include "talvane/db/connection.hpp"

namespace talvane::cli {

namespace {

// How often the runs are looked at: a stopped run's statement ends within about this time.
constexpr std::chrono::milliseconds kLookEvery{100};

}  // namespace

RunWatchdog::RunWatchdog() : thread_([this] { Look(); }) {}

RunWatchdog::~RunWatchdog() {
  {
    const std::lock_guard<std::mutex> hold(lock_);
    ending_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void RunWatchdog::Look() {
  std::unique_lock<std::mutex> hold(lock_);
  while (!ending_) {
    if (runs_.empty()) {
      changed_.wait(hold);
      continue;
    }
    changed_.wait_for(hold, kLookEvery);
    const auto now = std::chrono::steady_clock::now();
    for (Run& run : runs_) {
      if (run.stop == Stop::kNone) {
        if (now >= run.deadline) run.stop = Stop::kTimeLimit;
        else if (run.clientGone && run.clientGone()) run.stop = Stop::kClientGone;
      }
      // Asked again at every look: an interrupt that comes between two statements of a run is lost.
      if (run.stop != Stop::kNone) run.connection->Interrupt();
    }
  }
}

RunWatchdog::Watch::Watch(RunWatchdog& watchdog, std::shared_ptr<db::Connection> connection, int seconds,
                          std::function<bool()> clientGone)
    : watchdog_(watchdog) {
  {
    const std::lock_guard<std::mutex> hold(watchdog_.lock_);
    watchdog_.runs_.push_front(
        {std::move(connection), std::chrono::steady_clock::now() + std::chrono::seconds(seconds), std::move(clientGone)});
    run_ = watchdog_.runs_.begin();
  }
  watchdog_.changed_.notify_all();
}

RunWatchdog::Watch::~Watch() {
  const std::lock_guard<std::mutex> hold(watchdog_.lock_);
  watchdog_.runs_.erase(run_);
}

RunWatchdog::Stop RunWatchdog::Watch::Stopped() const {
  const std::lock_guard<std::mutex> hold(watchdog_.lock_);
  return run_->stop;
}

}  // namespace talvane::cli
