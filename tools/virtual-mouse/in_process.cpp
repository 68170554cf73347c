#include "tools/virtual-mouse/in_process.h"

namespace vela::vmouse {
namespace {

class InProcessHandle final : public hid::Handle {
public:
    InProcessHandle(VirtualMouse &mouse, std::shared_ptr<Connection> connection)
        : mouse_(mouse), connection_(std::move(connection))
    {
    }
    ~InProcessHandle() override { mouse_.close(*connection_); }

    int sendFeatureReport(const uint8_t *data, size_t size) override
    {
        return mouse_.sendFeature(*connection_, data, size, error_);
    }
    int getFeatureReport(uint8_t *data, size_t size) override
    {
        return mouse_.getFeature(*connection_, data, size, error_);
    }
    int writeOutputReport(const uint8_t *data, size_t size) override
    {
        return mouse_.writeOutput(*connection_, data, size, error_);
    }
    int readInputReport(uint8_t *data, size_t size, int timeoutMs) override
    {
        return mouse_.readInput(*connection_, data, size, timeoutMs, error_);
    }
    int lastError() const override { return error_; }

private:
    VirtualMouse &mouse_;
    std::shared_ptr<Connection> connection_;
    int error_ = 0;
};

class InProcessBackend final : public hid::Backend {
public:
    explicit InProcessBackend(VirtualMouse &mouse) : mouse_(mouse) {}

    std::vector<hid::DeviceInfo> enumerate(uint16_t vendorId, uint16_t productId) override
    {
        std::vector<hid::DeviceInfo> result;
        for (auto &info : mouse_.enumerate())
            if ((vendorId == 0 || vendorId == info.vendorId) && (productId == 0 || productId == info.productId))
                result.push_back(info);
        return result;
    }

    std::unique_ptr<hid::Handle> open(const std::string &path, int *error) override
    {
        int code = 0;
        auto connection = mouse_.open(path, code);
        if (!connection) {
            if (error)
                *error = code;
            return nullptr;
        }
        return std::make_unique<InProcessHandle>(mouse_, std::move(connection));
    }

private:
    VirtualMouse &mouse_;
};

} // namespace

std::unique_ptr<hid::Backend> makeInProcessBackend(VirtualMouse &mouse)
{
    return std::make_unique<InProcessBackend>(mouse);
}

} // namespace vela::vmouse
