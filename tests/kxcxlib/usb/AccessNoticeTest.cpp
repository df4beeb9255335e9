// The words for a device node the process may not open, and that each node is told once until
// it opens again.
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "usb/kxTransportNotice.h"
#include "usb/libusb/kxAccessNotice.h"

namespace {

using testing::ElementsAre;

// The notices posted while the object lives.
class HeardNotices {
public:
    HeardNotices() {
        kx::TransportNotice::setSink([this](const std::string& text) { texts.push_back(text); });
    }
    ~HeardNotices() { kx::TransportNotice::setSink({}); }
    std::vector<std::string> texts;
};

}  // namespace

TEST(AccessNotice, TheNodeIsTheUsbdevfsPathOfBusAndAddressInThreeDigits) {
    EXPECT_EQ(kx::AccessNotice::nodePath(1, 4), "/dev/bus/usb/001/004");
    EXPECT_EQ(kx::AccessNotice::nodePath(3, 27), "/dev/bus/usb/003/027");
    EXPECT_EQ(kx::AccessNotice::nodePath(255, 127), "/dev/bus/usb/255/127");
}

TEST(AccessNotice, TheTextNamesTheNodeAndTheReadme) {
    EXPECT_EQ(kx::AccessNotice::text(1, 4),
              "no permission on /dev/bus/usb/001/004; see the README on udev rules");
    EXPECT_EQ(kx::AccessNotice::text(2, 113),
              "no permission on /dev/bus/usb/002/113; see the README on udev rules");
}

TEST(AccessNotice, EachNodeIsToldOnceUntilItOpens) {
    HeardNotices heard;
    kx::AccessNotice notices;
    EXPECT_TRUE(notices.tell(1, 4));
    EXPECT_FALSE(notices.tell(1, 4));
    EXPECT_TRUE(notices.tell(1, 5));  // another node (a board back with a new number)
    EXPECT_FALSE(notices.tell(1, 5));
    notices.opened(1, 4);
    EXPECT_TRUE(notices.tell(1, 4));
    EXPECT_THAT(heard.texts,
                ElementsAre("no permission on /dev/bus/usb/001/004; see the README on udev rules",
                            "no permission on /dev/bus/usb/001/005; see the README on udev rules",
                            "no permission on /dev/bus/usb/001/004; see the README on udev rules"));
}

TEST(TransportNotice, WithoutASinkANoticeIsDropped) {
    kx::TransportNotice::setSink({});
    kx::TransportNotice::post("nobody hears this");
    HeardNotices heard;
    kx::TransportNotice::post("heard");
    EXPECT_THAT(heard.texts, ElementsAre("heard"));
}
