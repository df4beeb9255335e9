// A board whose device node the process may not open, through the libusb backend, the real
// libusb and emulated usbdevfs: the library's log says so in words, once per node, and the open
// fails with EACCES. The node (a file in the test bed's folder) is made mode 0000; the suite runs
// as root in CI, where file modes alone refuse nothing, so the test's thread also gives up the
// capabilities that override file modes (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH) while the node
// is refused. Capabilities belong to a thread: the bridge's threads and the library's event
// thread keep theirs, and the opens that matter run on the test's thread.
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "BoardBackendFixture.h"
#include "PlugBoards.h"
#include "ScopedEnv.h"
#include "kxDailyLogName.h"
#include "log/kxCxLogger.h"
#include "usb/kxUsbTransport.h"
#include "usb/libusb/kxLibusbBackend.h"

namespace {

constexpr const char* kNode = "/dev/bus/usb/001/002";  // the first board's node
constexpr const char* kSentence =
    "no permission on /dev/bus/usb/001/002; see the README on udev rules";

// The node of the test bed made mode 0000 and the calling thread without the capabilities that
// override file modes, while the object lives; refused() says whether opening the node now fails
// with EACCES.
class RefusedNode {
public:
    explicit RefusedNode(const std::string& testbedRoot) : m_file(testbedRoot + kNode) {
        struct stat info {};
        if (::stat(m_file.c_str(), &info) != 0) {
            return;
        }
        m_mode = info.st_mode & 07777;
        m_changed = ::chmod(m_file.c_str(), 0) == 0;
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;  // the calling thread
        if (syscall(SYS_capget, &m_header, m_saved) == 0) {
            __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
            lowered[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
            m_lowered = syscall(SYS_capset, &m_header, lowered) == 0;
        }
        errno = 0;
        const int fd = ::open(kNode, O_RDWR | O_CLOEXEC);  // through umockdev's preload
        m_refused = fd < 0 && errno == EACCES;
        if (fd >= 0) {
            ::close(fd);
        }
    }
    ~RefusedNode() {
        if (m_lowered) {
            syscall(SYS_capset, &m_header, m_saved);
        }
        if (m_changed) {
            ::chmod(m_file.c_str(), m_mode);
        }
    }
    RefusedNode(const RefusedNode&) = delete;
    RefusedNode& operator=(const RefusedNode&) = delete;

    bool refused() const { return m_refused; }

private:
    std::string m_file;
    mode_t m_mode = 0644;
    bool m_changed = false;
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_lowered = false;
    bool m_refused = false;
};

class NodePermission : public BoardBackendFixture {
protected:
    std::string logText() {
        if (CxLogger* logger = CxLogger::existing()) {
            logger->flushPending();
        }
        return dir.read(DailyLogName::today());
    }
    int timesLogged(const std::string& text) {
        const std::string log = logText();
        int count = 0;
        for (std::size_t at = log.find(text); at != std::string::npos;
             at = log.find(text, at + 1)) {
            ++count;
        }
        return count;
    }
};
INSTANTIATE_TEST_SUITE_P(Backends, NodePermission, testing::Values(BackendKind::Libusb),
                         BoardBackendFixture::nameOf);

#define SKIP_UNLESS_REFUSED(node)                                                          \
    if (!(node).refused()) {                                                               \
        GTEST_SKIP() << "the emulated node still opens: neither root nor able to provoke " \
                        "EACCES";                                                          \
    }

}  // namespace

TEST_P(NodePermission, AMappedBoardWithARefusedNodeIsListedAndItsOpenSaysWhyOncePerNode) {
    std::ofstream("devicemap.txt") << "RT4207-x6B6B 04b4:8613\n";
    const ScopedEnv map("KXCX_DEVICE_MAP", "devicemap.txt");
    start("RT4207", usbmock::OsDescriptors::None);
    {
        const RefusedNode node(bridge->rootDir());
        SKIP_UNLESS_REFUSED(node);
        // Discovery does not open a board the map names: it is listed all the same.
        EXPECT_EQ(findCxDevices(), 1);
        errno = 0;
        EXPECT_EQ(open(), nullptr);
        EXPECT_EQ(errno, EACCES);
        EXPECT_EQ(open(), nullptr);
        EXPECT_EQ(errno, EACCES);
        EXPECT_THAT(logText(), testing::HasSubstr("LOG("));
        EXPECT_EQ(timesLogged(kSentence), 1) << logText();
    }
    // Readable again, it opens; refused after that, it is told anew.
    CamContext* handle = open();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(close(handle), 0);
    const RefusedNode again(bridge->rootDir());
    ASSERT_TRUE(again.refused());
    EXPECT_EQ(open(), nullptr);
    EXPECT_EQ(timesLogged(kSentence), 2) << logText();
}

TEST_P(NodePermission, DiscoveryTellsARefusedNodeOnceHoweverOftenItLists) {
    // As the fixture's start, with the node refused before the board is first read.
    plugBoards(host, "RT4207");
    bridge = std::make_unique<usbmock::UsbdevfsBridge>(host, usbmock::OsDescriptors::V1);
    kx::UsbTransport::replace(std::make_unique<kx::LibusbBackend>());
    ASSERT_EQ(loadCxLib(), 0);
    {
        const RefusedNode node(bridge->rootDir());
        SKIP_UNLESS_REFUSED(node);
        for (int pass = 0; pass < 3; ++pass) {
            EXPECT_EQ(findCxDevices(), 0);  // its descriptors cannot be read: no board of ours
        }
        EXPECT_EQ(timesLogged(kSentence), 1) << logText();
    }
    EXPECT_EQ(findCxDevices(), 1);
    EXPECT_NE(open(), nullptr);
    EXPECT_EQ(timesLogged(kSentence), 1);
}
