#include "FirmwareGate.h"

#include <kxCxApi.h>
#include "BoardVersions.h"
#include "FirmwareLoadLock.h"
#include "ProgressDialog.h"
#include "PromptService.h"
#include "ViewerVersion.h"

namespace hv {

namespace {

constexpr int kProgressEnd = 220;
const char* const kFpgaFile = "firmware/default.bit";
const char* const kMcuFile = "firmware/default.hex";

}  // namespace

int FirmwareGate::check(QWidget* parent, CamContext* handle, bool& restart) {
    restart = false;
    const int mcu = BoardVersions::mcu(handle);
    const int fpga = BoardVersions::fpga(handle);
    const bool mcuOk = mcu >= kLowestMcu;
    const bool fpgaOk = static_cast<unsigned>(fpga) >= static_cast<unsigned>(kLowestFpga);
    if (mcuOk && fpgaOk) {
        return 0;
    }
    if (!fpgaOk) {
        const int result = offerFpga(parent, handle, fpga);
        if (result < 0) {
            return result;
        }
    }
    if (mcuOk) {
        return 0;
    }
    return offerMcu(parent, handle, mcu, restart);
}

bool FirmwareGate::userLoads(QWidget* parent, const char* question, const char* refusal,
                             int requiredMinor, int version) {
    const QString title = ViewerVersion::windowTitle();
    const int major = version / 256;
    const int minor = version % 256;
    if (PromptService::askYesNo(parent, QMessageBox::Question, title,
                                QString::asprintf(question, 1, requiredMinor, major, minor))) {
        return true;
    }
    PromptService::critical(parent, title,
                            QString::asprintf(refusal, 1, requiredMinor, major, minor));
    return false;
}

int FirmwareGate::withProgress(QWidget* parent, const QString& label,
                               const std::function<int()>& load) {
    ProgressDialog::open(label, QStringLiteral("Cancel"), kProgressEnd, parent);
    ProgressDialog::update(0, nullptr);
    const int loaded = load();
    ProgressDialog::update(kProgressEnd, nullptr);
    ProgressDialog::close();
    return loaded;
}

int FirmwareGate::offerFpga(QWidget* parent, CamContext* handle, int fpga) {
    if (!userLoads(parent,
                   "This application program require FPGA firmware %X.%02X or above...\nExisting "
                   "firmware version is V%X.%02X...\nDo you want to load the default FPGA "
                   "firmware?",
                   "ERROR::This application program require FPGA firmware %X.%02X or "
                   "above.\ncurrent firmware version is %X.%02X.\nPlease use FPGA tool to load "
                   "new FPGA firmware.",
                   0x30, fpga)) {
        return 0;
    }
    int total = 0;
    const int loaded = withProgress(parent, QStringLiteral("Loading FPGA Configuration..."), [&] {
        return uploadFpgaFirmware(handle, &total, kFpgaFile, ProgressDialog::callback);
    });
    const QString title = ViewerVersion::windowTitle();
    if (loaded > 0) {
        PromptService::information(
            parent, title,
            QStringLiteral("Loading FPGA firmware complete, total %1 bytes of %2 bytes FPGA "
                           "firmware were loaded and %2 bytes were loaded...")
                .arg(loaded)
                .arg(total));
        return 0;
    }
    PromptService::warning(parent, title,
                           QStringLiteral("Loading FPGA firmware failed, total %1 bytes of %2 "
                                          "bytes FPGA firmware were loaded\nProgram will be "
                                          "terminated...")
                               .arg(loaded)
                               .arg(total));
    return -1;
}

int FirmwareGate::offerMcu(QWidget* parent, CamContext* handle, int mcu, bool& restart) {
    if (!userLoads(parent,
                   "This application program require MCU firmware %X.%02X or above...\nExisting "
                   "MCU firmware version is V%X.%02X...\nDo you want to load the default MCU "
                   "firmware?",
                   "ERROR::This application program requires MCU firmware %X.%02X or "
                   "above.\ncurrent firmware version is V%X.%02X.\nPlease use FPGA tool to load "
                   "new MCU firmware and restart the application.",
                   7, mcu)) {
        return 0;
    }
    FirmwareLoadLock::set();
    const int loaded = withProgress(parent, QStringLiteral("Loading MCU firmware..."), [&] {
        return uploadMcuFirmware(handle, kMcuFile, ProgressDialog::callback);
    });
    const QString title = ViewerVersion::windowTitle();
    if (loaded > 0) {
        PromptService::information(parent, title,
                                   QStringLiteral("Loading MCU firmware complete, total %1 bytes "
                                                  "were loaded...\nPlease restart the program.")
                                       .arg(loaded));
        restart = true;
        return 0;
    }
    PromptService::warning(parent, title,
                           QStringLiteral("Loading MCU firmware failed, total %1 bytes were "
                                          "loaded...\nProgram will be terminated...")
                               .arg(loaded));
    return -6;
}

}  // namespace hv
