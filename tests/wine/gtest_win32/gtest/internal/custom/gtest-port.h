// GoogleTest's own build settings for the Windows test programs. The
// win32-thread-model runtime the images are built with has no std::mutex or
// std::condition_variable, which GoogleTest's stock Notification needs; this
// one waits on an atomic flag instead. GoogleTest uses it only to hold back
// threads it starts itself, which the tests never do.
#ifndef DUO_GTEST_CUSTOM_PORT_H
#define DUO_GTEST_CUSTOM_PORT_H

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

} // namespace testing::internal

#endif
