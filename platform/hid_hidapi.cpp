// hidapi (hidraw) backend. hidapi is loaded at run time with its symbols kept
// local: the shared device library re-exports functions under hidapi's own
// names, and binding to them here would call ourselves.
#include "platform/hid.h"

#include <hidapi/hidapi.h>

#include <cerrno>
#include <dlfcn.h>
#include <mutex>

namespace vela::hid {
namespace {

struct HidapiFunctions {
    int (*init)();
    hid_device_info *(*enumerate)(unsigned short, unsigned short);
    void (*freeEnumeration)(hid_device_info *);
    hid_device *(*openPath)(const char *);
    void (*close)(hid_device *);
    int (*sendFeature)(hid_device *, const unsigned char *, size_t);
    int (*getFeature)(hid_device *, unsigned char *, size_t);
    int (*write)(hid_device *, const unsigned char *, size_t);
    int (*readTimeout)(hid_device *, unsigned char *, size_t, int);
    bool loaded = false;
};

// Null when the hidapi library is not installed; the backend then sees no
// devices rather than failing to start.
const HidapiFunctions *hidapi()
{
    static HidapiFunctions functions;
    static std::once_flag once;
    std::call_once(once, [] {
        void *lib = dlopen("libhidapi-hidraw.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return;
        auto load = [lib](auto &target, const char *name) {
            target = reinterpret_cast<std::remove_reference_t<decltype(target)>>(dlsym(lib, name));
            return target != nullptr;
        };
        bool ok = load(functions.init, "hid_init") && load(functions.enumerate, "hid_enumerate")
            && load(functions.freeEnumeration, "hid_free_enumeration")
            && load(functions.openPath, "hid_open_path") && load(functions.close, "hid_close")
            && load(functions.sendFeature, "hid_send_feature_report")
            && load(functions.getFeature, "hid_get_feature_report")
            && load(functions.write, "hid_write") && load(functions.readTimeout, "hid_read_timeout");
        functions.loaded = ok && functions.init() == 0;
    });
    return functions.loaded ? &functions : nullptr;
}

// hidapi reports failures as -1 and leaves the reason in errno (hidraw ioctl,
// read and write all set it). A failure without errno counts as EIO.
int currentErrno()
{
    return errno != 0 ? errno : EIO;
}

class HidapiHandle final : public Handle {
public:
    HidapiHandle(const HidapiFunctions &f, hid_device *device) : f_(f), device_(device) {}
    ~HidapiHandle() override { f_.close(device_); }

    int sendFeatureReport(const uint8_t *data, size_t size) override
    {
        errno = 0;
        return track(f_.sendFeature(device_, data, size));
    }
    int getFeatureReport(uint8_t *data, size_t size) override
    {
        errno = 0;
        return track(f_.getFeature(device_, data, size));
    }
    int writeOutputReport(const uint8_t *data, size_t size) override
    {
        errno = 0;
        return track(f_.write(device_, data, size));
    }
    int readInputReport(uint8_t *data, size_t size, int timeoutMs) override
    {
        errno = 0;
        return track(f_.readTimeout(device_, data, size, timeoutMs));
    }
    int lastError() const override { return error_; }

private:
    int track(int result)
    {
        if (result < 0)
            error_ = currentErrno();
        return result;
    }

    const HidapiFunctions &f_;
    hid_device *device_;
    int error_ = 0;
};

class HidapiBackend final : public Backend {
public:
    std::vector<DeviceInfo> enumerate(uint16_t vendorId, uint16_t productId) override
    {
        std::vector<DeviceInfo> result;
        const HidapiFunctions *f = hidapi();
        if (!f)
            return result;
        hid_device_info *list = f->enumerate(vendorId, productId);
        for (hid_device_info *it = list; it; it = it->next) {
            DeviceInfo info;
            info.path = it->path ? it->path : "";
            info.vendorId = it->vendor_id;
            info.productId = it->product_id;
            info.usagePage = it->usage_page;
            info.usage = it->usage;
            info.releaseNumber = it->release_number;
            info.interfaceNumber = it->interface_number;
            result.push_back(std::move(info));
        }
        f->freeEnumeration(list);
        return result;
    }

    std::unique_ptr<Handle> open(const std::string &path, int *error) override
    {
        const HidapiFunctions *f = hidapi();
        if (!f) {
            if (error)
                *error = ENOENT;
            return nullptr;
        }
        errno = 0;
        hid_device *device = f->openPath(path.c_str());
        if (!device) {
            if (error)
                *error = currentErrno();
            return nullptr;
        }
        return std::make_unique<HidapiHandle>(*f, device);
    }
};

} // namespace

std::unique_ptr<Backend> makeHidapiBackend()
{
    return std::make_unique<HidapiBackend>();
}

} // namespace vela::hid
