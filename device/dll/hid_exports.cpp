// hidapi's functions under their own names, served by our HID layer, so a
// caller that looks them up in this library reaches the same mouse (real or
// virtual) the settings API uses.
#include "platform/hid.h"

#include <hidapi/hidapi.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

struct hid_device_ {
    std::unique_ptr<vela::hid::Handle> handle;
    bool nonblocking = false;
    std::wstring error;
};

namespace {

thread_local std::wstring globalError;

std::wstring widen(const std::string &text)
{
    return std::wstring(text.begin(), text.end());
}

wchar_t *copyWide(const std::wstring &text)
{
    auto *out = static_cast<wchar_t *>(std::calloc(text.size() + 1, sizeof(wchar_t)));
    if (out)
        std::wmemcpy(out, text.c_str(), text.size());
    return out;
}

int track(hid_device *device, int result)
{
    if (result < 0)
        device->error = widen(device->handle->lastErrorText());
    else
        device->error.clear();
    return result;
}

hid_device *wrap(std::unique_ptr<vela::hid::Handle> handle, int error)
{
    if (!handle) {
        globalError = widen(std::strerror(error ? error : ENOENT));
        return nullptr;
    }
    auto *device = new (std::nothrow) hid_device;
    if (device)
        device->handle = std::move(handle);
    globalError.clear();
    return device;
}

} // namespace

// The API is the one thing with default visibility; the version script
// then decides what is exported.
#pragma GCC visibility push(default)
extern "C" {

int hid_init(void)
{
    return 0;
}

int hid_exit(void)
{
    return 0;
}

struct hid_device_info *hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    try {
        hid_device_info *first = nullptr, **tail = &first;
        for (const auto &info : vela::hid::defaultBackend().enumerate(vendor_id, product_id)) {
            auto *node = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
            if (!node)
                break;
            node->path = strdup(info.path.c_str());
            node->vendor_id = info.vendorId;
            node->product_id = info.productId;
            node->serial_number = copyWide(L"");
            node->release_number = info.releaseNumber;
            node->manufacturer_string = copyWide(L"");
            node->product_string = copyWide(L"");
            node->usage_page = info.usagePage;
            node->usage = info.usage;
            node->interface_number = info.interfaceNumber;
            node->bus_type = HID_API_BUS_USB;
            *tail = node;
            tail = &node->next;
        }
        return first;
    } catch (...) {
        return nullptr;
    }
}

void hid_free_enumeration(struct hid_device_info *devs)
{
    while (devs) {
        hid_device_info *next = devs->next;
        std::free(devs->path);
        std::free(devs->serial_number);
        std::free(devs->manufacturer_string);
        std::free(devs->product_string);
        std::free(devs);
        devs = next;
    }
}

hid_device *hid_open_path(const char *path)
{
    if (!path)
        return nullptr;
    try {
        int error = 0;
        auto handle = vela::hid::defaultBackend().open(path, &error);
        return wrap(std::move(handle), error);
    } catch (...) {
        return nullptr;
    }
}

hid_device *hid_open(unsigned short vendor_id, unsigned short product_id, const wchar_t *serial_number)
{
    try {
        // The layer knows no serial numbers, so asking for one finds nothing.
        if (serial_number && *serial_number) {
            globalError = L"no device with that serial number";
            return nullptr;
        }
        const auto list = vela::hid::defaultBackend().enumerate(vendor_id, product_id);
        if (list.empty()) {
            globalError = L"device not found";
            return nullptr;
        }
        return hid_open_path(list.front().path.c_str());
    } catch (...) {
        return nullptr;
    }
}

int hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    if (!dev || !data)
        return -1;
    return track(dev, dev->handle->writeOutputReport(data, length));
}

int hid_read_timeout(hid_device *dev, unsigned char *data, size_t length, int milliseconds)
{
    if (!dev || !data)
        return -1;
    return track(dev, dev->handle->readInputReport(data, length, milliseconds));
}

int hid_read(hid_device *dev, unsigned char *data, size_t length)
{
    if (!dev)
        return -1;
    return hid_read_timeout(dev, data, length, dev->nonblocking ? 0 : -1);
}

int hid_set_nonblocking(hid_device *dev, int nonblock)
{
    if (!dev)
        return -1;
    dev->nonblocking = nonblock != 0;
    return 0;
}

int hid_send_feature_report(hid_device *dev, const unsigned char *data, size_t length)
{
    if (!dev || !data)
        return -1;
    return track(dev, dev->handle->sendFeatureReport(data, length));
}

int hid_get_feature_report(hid_device *dev, unsigned char *data, size_t length)
{
    if (!dev || !data)
        return -1;
    return track(dev, dev->handle->getFeatureReport(data, length));
}

int hid_get_input_report(hid_device *dev, unsigned char *, size_t)
{
    if (dev)
        dev->error = L"input report requests are not supported";
    return -1;
}

void hid_close(hid_device *dev)
{
    delete dev;
}

static int emptyString(hid_device *dev, wchar_t *string, size_t maxlen)
{
    if (!dev || !string || maxlen == 0)
        return -1;
    string[0] = L'\0';
    return 0;
}

int hid_get_manufacturer_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return emptyString(dev, string, maxlen);
}

int hid_get_product_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return emptyString(dev, string, maxlen);
}

int hid_get_serial_number_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    return emptyString(dev, string, maxlen);
}

int hid_get_indexed_string(hid_device *dev, int, wchar_t *, size_t)
{
    if (dev)
        dev->error = L"string descriptors are not supported";
    return -1;
}

const wchar_t *hid_error(hid_device *dev)
{
    const std::wstring &text = dev ? dev->error : globalError;
    return text.empty() ? L"Success" : text.c_str();
}

const struct hid_api_version *hid_version(void)
{
    static const hid_api_version version = {HID_API_VERSION_MAJOR, HID_API_VERSION_MINOR, HID_API_VERSION_PATCH};
    return &version;
}

const char *hid_version_str(void)
{
    return HID_API_VERSION_STR;
}

} // extern "C"
#pragma GCC visibility pop
