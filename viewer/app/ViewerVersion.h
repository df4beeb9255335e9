// The viewer's version, 1.02: the number shown in window titles and the about dialog.
#pragma once

#include <QString>

namespace hv {

class ViewerVersion {
public:
    static constexpr int kMajor = 1;
    static constexpr int kMinor = 2;
    // "1.02" ("%d.%02d").
    static const char* text();
    // " Nelvora Orlo - V1.02": the main window's title and its message boxes' title.
    static QString windowTitle();
};

}  // namespace hv
