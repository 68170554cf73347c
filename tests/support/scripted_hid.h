#pragma once
// A HID backend whose one interface answers from a script: each send or get
// takes the next scripted outcome (success, or failure with an errno), and a
// failing call scribbles over the caller's buffer so tests can see that the
// transport restores it. Every buffer the device was handed is recorded.
#include "platform/hid.h"

#include <cerrno>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

namespace vela::test {

struct ScriptedHid {
    struct Outcome {
        int error = 0;      // 0: success
        uint8_t status = 1; // written to byte 1 of a successful get
    };
    std::deque<Outcome> sends, gets; // empty: succeed with status 1
    std::vector<std::vector<uint8_t>> sent, requested;

    hid::DeviceInfo info{"scripted/MI_01", 0x22D4, 0x132B, 0xFF01, 2, 0x0105, 1};
    int openError = 0; // when set, opening fails with it

    std::unique_ptr<hid::Backend> backend();

private:
    static Outcome next(std::deque<Outcome> &queue)
    {
        if (queue.empty())
            return {};
        Outcome o = queue.front();
        queue.pop_front();
        return o;
    }
    class Handle;
    class Backend;
};

class ScriptedHid::Handle final : public hid::Handle {
public:
    explicit Handle(ScriptedHid &hid) : hid_(hid) {}
    int sendFeatureReport(const uint8_t *data, size_t size) override
    {
        hid_.sent.emplace_back(data, data + size);
        const Outcome o = next(hid_.sends);
        if (o.error) {
            std::memset(const_cast<uint8_t *>(data), 0xEE, size);
            error_ = o.error;
            return -1;
        }
        return int(size);
    }
    int getFeatureReport(uint8_t *data, size_t size) override
    {
        hid_.requested.emplace_back(data, data + size);
        const Outcome o = next(hid_.gets);
        if (o.error) {
            std::memset(data, 0xEE, size);
            error_ = o.error;
            return -1;
        }
        std::memset(data + 1, 0, size - 1);
        data[1] = o.status;
        return int(size);
    }
    int writeOutputReport(const uint8_t *, size_t size) override { return int(size); }
    int readInputReport(uint8_t *, size_t, int) override { return 0; }
    int lastError() const override { return error_; }

private:
    ScriptedHid &hid_;
    int error_ = 0;
};

class ScriptedHid::Backend final : public hid::Backend {
public:
    explicit Backend(ScriptedHid &hid) : hid_(hid) {}
    std::vector<hid::DeviceInfo> enumerate(uint16_t, uint16_t) override { return {hid_.info}; }
    std::unique_ptr<hid::Handle> open(const std::string &, int *error) override
    {
        if (hid_.openError) {
            if (error)
                *error = hid_.openError;
            return nullptr;
        }
        return std::make_unique<ScriptedHid::Handle>(hid_);
    }

private:
    ScriptedHid &hid_;
};

inline std::unique_ptr<hid::Backend> ScriptedHid::backend()
{
    return std::make_unique<ScriptedHid::Backend>(*this);
}

} // namespace vela::test
