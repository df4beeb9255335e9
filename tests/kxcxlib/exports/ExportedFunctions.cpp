// Calls every export of the camera library through the shared library alone, as a program that
// links libkxCxLib.so sees it: a name the library stops exporting leaves this program with an
// undefined reference, so the build fails. Run by ctest on a simulated board (KXCX_BACKEND=sim),
// it also checks that each export answers across the library boundary.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <kxCxApi.h>

namespace {

int failures = 0;

void check(bool passed, const char* what) {
    if (!passed) {
        std::fprintf(stderr, "FAILED: %s\n", what);
        ++failures;
    }
}

std::atomic<int> g_frames{0};
void countFrame(const void*, int, CamContext*) {
    ++g_frames;
}

int g_lastStep = 0;
void lastStep(int step, bool*) {
    g_lastStep = step;
}

void hear(int, const char*, const char*, void*) {}

std::string data(const char* relative) {
    return std::string(KX_DATA_DIR) + "/" + relative;
}

void libraryFrame() {
    check(loadCxLib() == 0, "loadCxLib");
    check(isCxLibValid(), "isCxLibValid");
    int version[4] = {};
    check(getCxLibVersion(&version[0], &version[1], &version[2], &version[3]) == 0 &&
              version[0] == 2 && version[1] == 1 && version[2] == 0 && version[3] == 6,
          "getCxLibVersion");
    const char* label = getCxLibVersionLabel();
    check(label != nullptr && std::strcmp(label, "2.1.00.006") == 0, "getCxLibVersionLabel");
    check(findCxDevices() == 1, "findCxDevices");
    check(getNumberOfCxDevices() == 1, "getNumberOfCxDevices");
    std::vector<std::string> names;
    check(getCxDeviceNames(names) == 1 && names == std::vector<std::string>{"RT4207-x6B6B_00"},
          "getCxDeviceNames");
    check(setCxDeviceNotify(&hear, nullptr) == 0 && setCxDeviceNotify(nullptr, nullptr) == 0,
          "setCxDeviceNotify");
    logMessage("every export, through the shared library");
}

void registers(CamContext* handle) {
    uint8_t reply[2] = {};
    int transferred = 0;
    check(ioctlCxDevice(handle, 0, 1, 0xB0, 0, 0, 2, reply, &transferred) == 0 &&
              transferred == 2 && reply[1] == 1 && reply[0] == 7,
          "ioctlCxDevice");
    int value = 0;
    check(readRegister(handle, 0x3C, 0x01, &value, 0) == 1 && value == 1, "readRegister");
    check(writeRegister(handle, 0x62, 0x08, 0xAA, 0) == 1, "writeRegister");
    check(writeSCCB(handle, 0x35, 0x3602, 0x40) == 1, "writeSCCB");
    check(readSCCB(handle, 0x35, 0x3602, &value) == 1 && value == 0x40, "readSCCB");
    check(setCxSpeed(handle, 1) == 0, "setCxSpeed");
    check(setCxSignalWeight(handle, 1) == 0 && readSCCB(handle, 0x35, 0x3100, &value) == 1 &&
              value == 0x75,
          "setCxSignalWeight");
    check(resetUsbFifo(handle) == 0, "resetUsbFifo");
    check(stopDvpClock(handle) == 0 && restartDvpClock(handle) == 0,
          "stopDvpClock, restartDvpClock");
    if (std::FILE* file = std::fopen("regs.txt", "w")) {
        std::fputs("6A 3602 40\n", file);
        std::fclose(file);
    }
    check(sendRegFile(handle, "regs.txt", &lastStep) > 0 && g_lastStep == 220, "sendRegFile");
}

void acquisition(CamContext* handle) {
    std::vector<uint8_t> frame(480256);
    check(acquireOneFrame(handle, frame.data()) >= 480000, "acquireOneFrame");
    int produced = 0;
    int sent = 0;
    check(getAcqFrameCounts(handle, &produced, &sent) == 4 && sent > 0, "getAcqFrameCounts");
    check(acquireImageStream(handle, &countFrame, 0) == 0, "acquireImageStream");
    check(getAcqCallbackProc(handle, nullptr) == &countFrame, "getAcqCallbackProc");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (g_frames < 3 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    check(g_frames >= 3, "frames through the callback");
    check(acquireImageStream(handle, nullptr, 0) == 0, "acquireImageStream (stop)");
}

void firmware(CamContext* handle) {
    int version = 0;
    check(getMcuFirmwareVersion(handle, &version) == 0 && version == 0x0107,
          "getMcuFirmwareVersion");
    int size = 0;
    check(uploadFpgaFirmware(handle, &size, data("firmware/default.bit").c_str(), nullptr) > 0,
          "uploadFpgaFirmware");
    check(initFPGA(handle) == 0, "initFPGA");
    uint16_t status[3] = {};
    check(eraseFpgaFromFlash(handle, status, nullptr) == 0, "eraseFpgaFromFlash");
    check(
        uploadFpgaFirmwareToFlash(handle, &size, data("firmware/default.mcs").c_str(), nullptr) > 0,
        "uploadFpgaFirmwareToFlash");
    check(uploadMcuFirmwareToEeprom(handle, data("firmware/default.iic").c_str(), nullptr) > 0,
          "uploadMcuFirmwareToEeprom");
    check(uploadGammaTable(handle, 1, data("gamma/Lookup1024_1.txt").c_str(), 0) > 0,
          "uploadGammaTable");
    check(downloadGammaTable(handle, 1) == 4096, "downloadGammaTable");
    std::vector<uint8_t> table(4096);
    check(downloadGammaTableTo(handle, 1, table.data(), 4096) == 4096, "downloadGammaTableTo");
    // Last: the controller restarts with the program and the handle leaves with the board.
    check(uploadMcuFirmware(handle, data("firmware/default.hex").c_str(), nullptr) > 0,
          "uploadMcuFirmware");
}

}  // namespace

int main() {
    libraryFrame();
    CamContext* handle = openCxDevice("RT4207-x6B6B_00", 400, 400, 480000, nullptr, nullptr);
    check(handle != nullptr, "openCxDevice");
    if (handle != nullptr) {
        registers(handle);
        acquisition(handle);
        firmware(handle);
        check(closeCxDevice(handle) == 0, "closeCxDevice");
    }
    check(removeCxDevices() == 0, "removeCxDevices");
    check(unloadCxLib() == 0, "unloadCxLib");
    std::printf("%d exports checked, %d failed\n", 38, failures);
    return failures == 0 ? 0 : 1;
}
