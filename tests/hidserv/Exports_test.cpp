// libHidServ.so as the program loads it: dlopen from the program folder, every name by dlsym.
#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "EventLog.h"
#include "kbdsim/SimServer.h"
#include "kbdsim/VirtualKeyboard.h"

namespace brindle {
namespace {

using test::Event;
using test::EventLog;

struct Library {
    void* handle = nullptr;
    int (*init)(int) = nullptr;
    int (*end)() = nullptr;
    int (*count)(const HidDeviceFilter*, HidCallback, uint32_t, uint32_t, uint32_t*) = nullptr;
    int (*asyncRead)(const HidDeviceFilter*, HidCallback, uint32_t, uint32_t, uint32_t*) = nullptr;
    int (*remove)(uint32_t) = nullptr;
    const char* (*problem)() = nullptr;
};

template <typename F>
void Bind(void* handle, const char* name, F& out) {
    out = reinterpret_cast<F>(dlsym(handle, name));
    ASSERT_NE(nullptr, reinterpret_cast<void*>(out)) << name;
}

TEST(HidServLibrary, DlopenAndInit_everyNameResolvesBackendByEnvironment) {
    const std::string path = std::string(BRINDLE_BIN_DIR) + "/libHidServ.so";
    Library lib;
    lib.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, lib.handle) << dlerror();
    for (const char* name :
         {"Debug", "Init", "End", "RequestGetDeviceCount", "DeleteRequestFromUnitId",
          "DeleteRequestFromHandle", "RequestWrite", "RequestWriteOne", "RequestStatusWrite",
          "RequestStatusGet", "RequestAsyncRead", "RequestStatusSetFeature", "HidServLastProblem"})
        EXPECT_NE(nullptr, dlsym(lib.handle, name)) << name;
    Bind(lib.handle, "Init", lib.init);
    Bind(lib.handle, "End", lib.end);
    Bind(lib.handle, "RequestGetDeviceCount", lib.count);
    Bind(lib.handle, "RequestAsyncRead", lib.asyncRead);
    Bind(lib.handle, "DeleteRequestFromUnitId", lib.remove);
    Bind(lib.handle, "HidServLastProblem", lib.problem);

    setenv("BRINDLE_DEVICE", "usb-over-carrier-pigeon", 1);
    EXPECT_EQ(0, lib.init(0));
    EXPECT_NE(std::string::npos, std::string(lib.problem()).find("usb-over-carrier-pigeon"));

    // The sim backend runs without a keyboard: absence is a count of 0.
    char pattern[] = "/tmp/hidserv-lib-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const std::string socket = dir + "/kbd.sock";
    setenv("BRINDLE_DEVICE", ("sim:" + socket).c_str(), 1);
    ASSERT_EQ(1, lib.init(0));
    const HidDeviceFilter control = test::ControlFilter();
    EXPECT_EQ(0, lib.count(&control, nullptr, 0, HidRequestCode(&control, nullptr, 0, nullptr, 0),
                           nullptr));
    EXPECT_NE(std::string::npos, std::string(lib.problem()).find("no virtual keyboard listens"));

    EventLog::Instance().Clear();
    uint32_t unitId = 0;
    ASSERT_EQ(
        1, lib.asyncRead(&control, &EventLog::Callback, test::kTagCtrl,
                         HidRequestCode(&control, &EventLog::Callback, test::kTagCtrl, nullptr, 0),
                         &unitId));
    VirtualKeyboard keyboard;
    SimServer server(keyboard, socket);
    ASSERT_TRUE(server.Start());
    EXPECT_TRUE(EventLog::Instance().WaitFor([](const Event& e) {
        return e.kind == HID_EVENT_DEVICE_CHANGE && e.count == 1 && e.tag == test::kTagCtrl;
    }));
    EXPECT_EQ(1, lib.remove(unitId));
    EXPECT_EQ(1, lib.end());
    EXPECT_EQ(0, lib.count(&control, nullptr, 0, HidRequestCode(&control, nullptr, 0, nullptr, 0),
                           nullptr));
    unsetenv("BRINDLE_DEVICE");
    server.Stop();
    dlclose(lib.handle);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace brindle
