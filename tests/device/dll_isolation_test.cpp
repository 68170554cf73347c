// The shared library loaded into a process that has its own transport open:
// the two handles stay apart, only the API is exported, and hidapi's names
// reach the same (virtual) mouse. Real socket, real waits.
#include "device/Vela_pro_dll.h"
#include "device/program_device.h"
#include "tools/virtual-mouse/server.h"

#include <hidapi/hidapi.h>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>

using namespace vela;

namespace {

struct LoadedLibrary : ::testing::Test {
    static inline QTemporaryDir dir;
    static inline vmouse::VirtualMouse *mouse = nullptr;
    static inline vmouse::Server *server = nullptr;
    static inline void *lib = nullptr;

    static void SetUpTestSuite()
    {
        mouse = new vmouse::VirtualMouse;
        server = new vmouse::Server(*mouse);
        const std::string socket = (dir.path() + "/mouse.sock").toStdString();
        std::string error;
        ASSERT_TRUE(server->start(socket, error)) << error;
        // Before anything picks the backend, in this process and in the library.
        setenv(hid::kVirtualMouseEnv, socket.c_str(), 1);
        lib = dlopen(VELA_BIN_DIR "/libVela_pro_dll.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << dlerror();
    }
    static void TearDownTestSuite()
    {
        if (lib)
            dlclose(lib);
        delete server;
        delete mouse;
    }

    template <typename F>
    F *fn(const char *name)
    {
        void *symbol = dlsym(lib, name);
        EXPECT_NE(symbol, nullptr) << name;
        return reinterpret_cast<F *>(symbol);
    }
    long commandOpens()
    {
        const auto history = mouse->handleHistory();
        return std::count(history.begin(), history.end(), "open vmouse/VID_22D4&PID_132B&MI_01");
    }
};

} // namespace

TEST_F(LoadedLibrary, KeepsItsHandleApartFromTheProgramsTransport)
{
    program::ProgramDevice ours(hid::defaultBackend(), systemClock());
    ASSERT_TRUE(ours.open());
    const long opensBefore = commandOpens();

    auto openLib = fn<decltype(Open_x2_device)>("Open_x2_device");
    auto closeLib = fn<decltype(Close_x2_device)>("Close_x2_device");
    auto setLod = fn<decltype(Set_lod)>("Set_lod");
    auto getStatus = fn<decltype(Get_device_status)>("Get_device_status");
    ASSERT_TRUE(openLib && closeLib && setLod && getStatus);

    EXPECT_TRUE(openLib());
    EXPECT_EQ(commandOpens(), opensBefore + 1); // a handle of its own

    // Closing the library's handle leaves ours working, and the reverse.
    EXPECT_EQ(closeLib(), 1);
    EXPECT_TRUE(ours.transport().isOpen());
    EXPECT_EQ(ours.startSurfaceAnalysis(), 1);

    EXPECT_EQ(setLod(1, 1), 1); // opens on demand
    ours.close();
    EXPECT_EQ(setLod(2, 0), 1);
    uint8_t status = 0;
    EXPECT_EQ(getStatus(&status), 1);
    EXPECT_EQ(status, 1);
}

TEST_F(LoadedLibrary, ExportsOnlyItsApi)
{
    EXPECT_NE(dlsym(lib, "Read_profile_data"), nullptr);
    EXPECT_NE(dlsym(lib, "hid_get_feature_report"), nullptr);
    // Internals stay local, so they cannot clash with the program's copy.
    EXPECT_EQ(dlsym(lib, "_ZN4vela9Transport4openEt"), nullptr);
    EXPECT_EQ(dlsym(lib, "_ZN4vela3hid14defaultBackendEv"), nullptr);
}

TEST_F(LoadedLibrary, HidapiNamesReachTheSameMouse)
{
    auto enumerate = fn<decltype(hid_enumerate)>("hid_enumerate");
    auto freeList = fn<decltype(hid_free_enumeration)>("hid_free_enumeration");
    auto openId = fn<decltype(hid_open)>("hid_open");
    auto openPath = fn<decltype(hid_open_path)>("hid_open_path");
    auto send = fn<decltype(hid_send_feature_report)>("hid_send_feature_report");
    auto get = fn<decltype(hid_get_feature_report)>("hid_get_feature_report");
    auto readTimeout = fn<decltype(hid_read_timeout)>("hid_read_timeout");
    auto close = fn<decltype(hid_close)>("hid_close");
    ASSERT_TRUE(enumerate && freeList && openId && openPath && send && get && readTimeout && close);

    hid_device_info *list = enumerate(0x22D4, 0x132B);
    std::string commandPath;
    int count = 0;
    for (hid_device_info *it = list; it; it = it->next, ++count)
        if (it->usage_page == 0xFF01 && it->usage == 2)
            commandPath = it->path;
    freeList(list);
    EXPECT_EQ(count, 3);
    ASSERT_FALSE(commandPath.empty());

    hid_device *device = openPath(commandPath.c_str());
    ASSERT_NE(device, nullptr);
    unsigned char report[64] = {0xA1, 0x02};
    EXPECT_EQ(send(device, report, sizeof(report)), 64);
    unsigned char status[64] = {0xA1};
    EXPECT_EQ(get(device, status, sizeof(status)), 64);
    EXPECT_EQ(status[1], 1);
    EXPECT_EQ(status[16] | status[17] << 8, 0x0105);
    close(device);

    // hid_open takes the first interface, where input reports arrive.
    hid_device *events = openId(0x22D4, 0x132B, nullptr);
    ASSERT_NE(events, nullptr);
    mouse->queueInput({0x01, 0x02, 0x03});
    unsigned char input[9] = {};
    EXPECT_EQ(readTimeout(events, input, sizeof(input), 2000), 3);
    EXPECT_EQ(input[2], 3);
    EXPECT_EQ(readTimeout(events, input, sizeof(input), 10), 0);
    close(events);
}
