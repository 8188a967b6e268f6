#pragma once
// Stops the runs that take too long or whose client has gone away. A run registers its database connection
// for as long as it lasts; one thread looks at the registered runs a few times a second and interrupts the
// statement of each that is past its time limit or whose client has gone (db::Connection::Interrupt).
#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace talvane::db {
class Connection;
}

namespace talvane::cli {

class RunWatchdog {
 public:
  enum class Stop { kNone, kTimeLimit, kClientGone };

  RunWatchdog();
  ~RunWatchdog();
  RunWatchdog(const RunWatchdog&) = delete;
  RunWatchdog& operator=(const RunWatchdog&) = delete;

 private:
  struct Run {
    std::shared_ptr<db::Connection> connection;
    std::chrono::steady_clock::time_point deadline;
    std::function<bool()> clientGone;
    Stop stop = Stop::kNone;
  };

 public:
  // Watches a run while it lives; it is interrupted when `seconds` have passed or when `clientGone` says so.
  class Watch {
   public:
    Watch(RunWatchdog& watchdog, std::shared_ptr<db::Connection> connection, int seconds,
          std::function<bool()> clientGone);
    ~Watch();
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;
    // Why the run was interrupted, if it was.
    Stop Stopped() const;

   private:
    RunWatchdog& watchdog_;
    std::list<Run>::iterator run_;
  };

 private:
  void Look();

  mutable std::mutex lock_;
  std::condition_variable changed_;
  std::list<Run> runs_;  // under lock_
  bool ending_ = false;  // under lock_
  std::thread thread_;
};

}  // namespace talvane::cli
