#include "HandleButton.h"

namespace boardsim {

namespace {

constexpr const char* kNames[HandleButton::kCount] = {"light-up", "light-down", "record", "photo"};

}  // namespace

const char* HandleButton::name(int button) {
    return button >= 0 && button < kCount ? kNames[button] : "";
}

int HandleButton::parse(std::string_view text) {
    for (int button = 0; button < kCount; ++button) {
        if (text == kNames[button] ||
            (text.size() == 1 && text[0] == static_cast<char>('0' + button))) {
            return button;
        }
    }
    return -1;
}

std::string HandleButton::names(unsigned mask) {
    std::string text;
    for (int button = 0; button < kCount; ++button) {
        if ((mask & (1u << button)) != 0) {
            text += text.empty() ? "" : ",";
            text += kNames[button];
        }
    }
    return text.empty() ? "none" : text;
}

}  // namespace boardsim
