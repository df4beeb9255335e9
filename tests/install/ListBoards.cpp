// A program of someone else's, built against the installed camera library alone: it lists the
// boards the library finds, one name a line, and fails when there is none.
#include <kxCxApi.h>

#include <cstdio>
#include <string>
#include <vector>

int main() {
    if (loadCxLib() != 0) {
        std::fprintf(stderr, "the camera library did not load\n");
        return 1;
    }
    findCxDevices();
    std::vector<std::string> names;
    getCxDeviceNames(names);
    for (const std::string& name : names) {
        std::printf("%s\n", name.c_str());
    }
    removeCxDevices();
    unloadCxLib();
    return names.empty() ? 1 : 0;
}
