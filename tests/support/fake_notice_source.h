#pragma once
// Device notices pushed by a test, visible to poll through a pipe.
#include "platform/device_notifications.h"

#include <gtest/gtest.h>

#include <deque>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace vela::test {

class FakeNoticeSource final : public DeviceNoticeSource {
public:
    FakeNoticeSource() { EXPECT_EQ(pipe2(fds_, O_NONBLOCK | O_CLOEXEC), 0); }
    ~FakeNoticeSource() override
    {
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    // Thread-safe.
    void push(DeviceNotice notice)
    {
        {
            std::lock_guard lock(mutex_);
            queued_.push_back(std::move(notice));
        }
        EXPECT_EQ(::write(fds_[1], "x", 1), 1);
    }
    int fd() const override { return fds_[0]; }
    void read(std::vector<DeviceNotice> &out) override
    {
        char buffer[64];
        while (::read(fds_[0], buffer, sizeof buffer) > 0) {
        }
        std::lock_guard lock(mutex_);
        out.insert(out.end(), queued_.begin(), queued_.end());
        queued_.clear();
    }

private:
    int fds_[2];
    std::mutex mutex_;
    std::deque<DeviceNotice> queued_;
};

// A subscription fed by a FakeNoticeSource that the test keeps a pointer to.
struct FakeSubscription {
    FakeSubscription()
    {
        auto owned = std::make_unique<FakeNoticeSource>();
        source = owned.get();
        notifications = DeviceNotifications::fromSource(std::move(owned));
    }
    FakeNoticeSource *source;
    std::unique_ptr<DeviceNotifications> notifications;
};

} // namespace vela::test
