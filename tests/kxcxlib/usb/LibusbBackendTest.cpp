// The libusb backend as far as it can be seen without a board: paths, opening what is not
// there, hot-plug registration and shutdown, and the device map's part in finding boards.
#include "usb/libusb/kxLibusbBackend.h"

#include <gtest/gtest.h>
#include <libusb.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "TempDir.h"
#include "usb/kxPlatformError.h"
#include "usb/libusb/kxLibusbEventThread.h"

namespace {

using kx::Guid;

const Guid kFirstModel = *Guid::parse("{07039751-9D61-46F3-98BD-B4B79AD56B6B}");
const Guid kSecondModel = *Guid::parse("{B03B64F8-3F1D-4C55-8248-F0C43B287654}");

// Sets an environment variable for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (m_old) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

bool libusbStarts() {
    libusb_context* context = nullptr;
    if (libusb_init(&context) != LIBUSB_SUCCESS) {
        return false;
    }
    libusb_exit(context);
    return true;
}

TEST(LibusbBackend, PathsNameBusAndPorts) {
    const uint8_t nested[] = {2, 3};
    const uint8_t single[] = {10};
    EXPECT_EQ(kx::LibusbBackend::devicePath(1, nested), "usb:1-2.3");
    EXPECT_EQ(kx::LibusbBackend::devicePath(3, single), "usb:3-10");
}

TEST(LibusbBackend, FindsNoBoardOfAGuidNoBoardHas) {
    kx::LibusbBackend backend;
    EXPECT_STREQ(backend.name(), "libusb");
    const Guid unused = *Guid::parse("{5E1D0C3B-7A29-4F86-B0E4-2C9A51D8F307}");
    std::string path = "unchanged";
    EXPECT_EQ(backend.interfacePath(unused, 0, path), kx::EnumResult::NoMoreItems);
    EXPECT_EQ(backend.interfacePath(unused, 1, path), kx::EnumResult::NoMoreItems);
    EXPECT_EQ(backend.interfacePath(unused, -1, path), kx::EnumResult::NoMoreItems);
    EXPECT_EQ(path, "unchanged");
}

TEST(LibusbBackend, OpeningAPathWithoutADeviceGivesNoDevice) {
    if (!libusbStarts()) {
        GTEST_SKIP() << "libusb does not start here";
    }
    kx::LibusbBackend backend;
    for (const char* path : {"usb:250-9.9.9", "usb:1-250", "usb:", "", "sim:RT4207-x6B6B:0"}) {
        kx::setLastPlatformError(0);
        EXPECT_EQ(backend.open(path), nullptr) << path;
        EXPECT_EQ(kx::lastPlatformError(), ENODEV) << path;
    }
}

TEST(LibusbBackend, HotplugHandlerFollowsWhatLibusbSupports) {
    kx::LibusbBackend backend;
    const bool supported = libusbStarts() && libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG) != 0;
    std::atomic<int> calls{0};
    const auto handler = [&](kx::HotplugEvent, const std::string&, const std::string&) { ++calls; };

    EXPECT_EQ(backend.setHotplugHandler(handler), supported);
    EXPECT_EQ(backend.setHotplugHandler(handler), supported);  // replaces the first
    EXPECT_TRUE(backend.setHotplugHandler(nullptr));
    EXPECT_TRUE(backend.setHotplugHandler(nullptr));           // nothing left to remove
    EXPECT_EQ(backend.setHotplugHandler(handler), supported);  // registers again
    if (!supported) {
        EXPECT_NE(kx::lastPlatformError(), 0);
    }
}

TEST(LibusbBackend, EndsPromptlyWhileItsEventThreadWaits) {
    const auto start = std::chrono::steady_clock::now();
    {
        kx::LibusbBackend backend;
        backend.setHotplugHandler([](kx::HotplugEvent, const std::string&, const std::string&) {});
    }
    // Without the wake-up the event thread would finish its wait first.
    EXPECT_LT(std::chrono::steady_clock::now() - start, kx::LibusbEventThread::kWaitInterval / 2);
}

TEST(LibusbBackend, TheDeviceMapIsCheckedAgainstTheModelsOnce) {
    TempDir dir;
    const std::string map = dir.path() + "/devicemap.txt";
    std::ofstream(map) << "RT4207-x6B6B 04b4:1004\n"
                          "XX9999-x0000 04b4:2000\n"
                          "RT4207-x6B6B\n";
    const ScopedVariable variable("KXCX_DEVICE_MAP", map);

    testing::internal::CaptureStderr();
    kx::LibusbBackend backend;
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              map + ":3: expected '<model label> <vid>:<pid>'\n");

    testing::internal::CaptureStderr();
    backend.setModelGuids({{"rt4207-X6B6B", kFirstModel}, {"MV3318-x7654", kSecondModel}});
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              map + ":2: unknown model label 'XX9999-x0000'\n");
    testing::internal::CaptureStderr();
    backend.setModelGuids({{"MV3318-x7654", kSecondModel}});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
