// Loads the camera library and checks that its version is one the viewer was built for: 2.1.0.x
// with x at least 6. Refusals are shown through the prompt service under the main window's title.
#pragma once

class QWidget;

namespace hv {

class CameraLibraryGate {
public:
    // The versions the viewer accepts.
    static bool accepts(int major, int minor, int revision, int build);
    // Unloads a library still loaded, loads it and checks its version. 0 when it is usable; the
    // library's own code when loading failed and the user chose to continue, -1 when the user
    // did not, -2 when the version is refused.
    static int load(QWidget* parent);
};

}  // namespace hv
