#include "FlashErase.h"

#include <QString>
#include <array>
#include <cstdint>
#include <thread>

#include <kxCxApi.h>
#include "BoardVersions.h"
#include "FlashVersionGate.h"
#include "FpgaRestart.h"
#include "ProgressDialog.h"
#include "PromptService.h"
#include "StreamPause.h"

namespace hv {

namespace {

const QString kTitle = QStringLiteral("FPGA Utility Tools");
constexpr int kUnknownFlash = -5;
constexpr int kNotRun = 1;

}  // namespace

int FlashErase::run(QWidget* parent, CamContext* handle, std::chrono::milliseconds settle) {
    if (handle == nullptr) {
        return kNotRun;
    }
    const int major = BoardVersions::fpgaMajor(handle);
    const int minor = BoardVersions::fpgaMinor(handle);
    if (!FlashVersionGate::admit(parent, major, minor)) {
        return kNotRun;
    }
    const QString label = QStringLiteral("Existing firmware version is V%1.%2...")
                              .arg(major, 0, 16)
                              .arg(minor, 0, 16);
    ProgressDialog::open(label, QStringLiteral("Cancel"), kProgressEnd, parent);
    StreamPause pause(handle, settle);
    std::array<uint16_t, 3> status{};
    const int result = eraseFpgaFromFlash(handle, status.data(), ProgressDialog::callback);
    if (result == kUnknownFlash) {
        PromptService::warning(parent, kTitle,
                               QStringLiteral("ERROR::Failed to erase FPGA firmware from falsh "
                                              "because the flash device is unrecognized "
                                              "device..."));
    } else if (result < 0) {
        PromptService::warning(parent, kTitle,
                               QStringLiteral("ERROR::Failed to erase FPGA firmware to falsh due "
                                              "to  the error code <%1> ...")
                                   .arg(result));
    }
    FpgaRestart::run(handle);
    pause.restartStream();
    std::this_thread::sleep_for(settle);

    if (result != 0 && ProgressDialog::cancelled()) {
        ProgressDialog::close();
        PromptService::information(parent, kTitle,
                                   QStringLiteral("Erasing FPGA firmware from the flash %1...")
                                       .arg(QStringLiteral("aborted")));
        return result;
    }
    ProgressDialog::update(kProgressEnd, nullptr);
    ProgressDialog::close();
    if (result == 0) {
        PromptService::information(parent, kTitle,
                                   QStringLiteral("FPGA firmware is erased from the flash, "
                                                  "Status[%1, %2]...")
                                       .arg(status[0], 0, 16)
                                       .arg(status[1], 0, 16));
    }
    return result;
}

}  // namespace hv
