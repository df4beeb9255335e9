#include "FirmwareLoad.h"

#include <QFile>

#include <kxCxApi.h>
#include "BoardVersions.h"
#include "FirmwareLoadLock.h"
#include "FlashVersionGate.h"
#include "FpgaRestart.h"
#include "ProgressDialog.h"
#include "PromptService.h"
#include "StreamPause.h"
#include "VelquinRoot.h"

namespace hv {

namespace {

using Kind = FirmwareLoad::Kind;

const QString kTitle = QStringLiteral("FPGA Utility Tools");
const QString kQuestionTitle = QStringLiteral("Imaging Hardware Utility Tools");

// What differs between the loads.
struct Recipe {
    QString filter;
    QString progressLabel;
    int progressEnd;
    // The confirmation's first line: %1 the version on the board, %2 the file.
    QString question;
    bool restartsFpga;
    bool loadsController;
};

Recipe recipe(Kind kind) {
    switch (kind) {
        case Kind::Fpga:
            return {QStringLiteral("FPGA Configuration (*.bit)"),
                    QStringLiteral("Loading FPGA Firmware"),
                    220,
                    QStringLiteral("Existing firmware version is V%1...Loading FPGA configuration "
                                   "from <%2>...\n"),
                    true,
                    false};
        case Kind::FpgaFlash:
            return {QStringLiteral("FPGA Configuration (*.mcs)"),
                    QStringLiteral("Loading FPGA firmware to flash"),
                    250,
                    QStringLiteral("Existing firmware version is V%1...uploading FPGA "
                                   "configuration from <%2>...\n"),
                    true,
                    false};
        case Kind::Mcu:
            return {QStringLiteral("MCU firmware (*.hex)"),
                    QStringLiteral("Loading MCU Firmware"),
                    220,
                    QStringLiteral("Existing MCU firmware version is V%1...Loading MCU firmware "
                                   "from <%2>...\n"),
                    false,
                    true};
        case Kind::McuEeprom:
            return {QStringLiteral("FPGA Configuration (*.iic)"),
                    QStringLiteral("Loading MCU Firmware"),
                    220,
                    QStringLiteral("Existing firmware version is V%1...Loading MCU firmware from "
                                   "<%2>...\n"),
                    true,
                    true};
    }
    return {};
}

// The version the confirmation names: the FPGA's "major.minor" or the controller's "%03x".
QString boardVersion(CamContext* handle, Kind kind) {
    if (kind == Kind::Fpga || kind == Kind::FpgaFlash) {
        return QStringLiteral("%1.%2")
            .arg(BoardVersions::fpgaMajor(handle), 0, 16)
            .arg(BoardVersions::fpgaMinor(handle), 0, 16);
    }
    return QString::asprintf("%03x", BoardVersions::mcu(handle));
}

// The flash load's own gate: the check is logged, the design must drive the flash and the flash
// must have been erased through this handle.
bool flashReady(QWidget* parent, CamContext* handle) {
    const bool erased = cxContextHead(handle)->flashErased;
    logMessage(erased ? "Loading Firmware to SPI Flash...[YES]\n"
                      : "Loading Firmware to SPI Flash...[NO]\n");
    if (!FlashVersionGate::admit(parent, BoardVersions::fpgaMajor(handle),
                                 BoardVersions::fpgaMinor(handle))) {
        return false;
    }
    if (!erased) {
        PromptService::information(
            parent, kTitle,
            QStringLiteral("Warning::The flash memeory has not been erased...\n        Please "
                           "erase the flash before loading the firmware to the flash..."));
        return false;
    }
    return true;
}

int load(CamContext* handle, Kind kind, const QByteArray& file, int& size) {
    const char* name = file.constData();
    switch (kind) {
        case Kind::Fpga:
            return uploadFpgaFirmware(handle, &size, name, ProgressDialog::callback);
        case Kind::FpgaFlash:
            return uploadFpgaFirmwareToFlash(handle, &size, name, ProgressDialog::callback);
        case Kind::Mcu:
            return uploadMcuFirmware(handle, name, ProgressDialog::callback);
        case Kind::McuEeprom:
            return uploadMcuFirmwareToEeprom(handle, name, ProgressDialog::callback);
    }
    return -1;
}

// The loaders other than the JTAG one do not stop on Cancel: whatever they loaded is reported
// as loaded, and Cancel only shows where nothing was.
void report(QWidget* parent, Kind kind, const QString& file, int result, int size, bool cancelled) {
    const bool loaded = result > 0;
    QString text;
    switch (kind) {
        case Kind::Fpga:
            text =
                loaded
                    ? QStringLiteral(
                          "Loading FPGA firmware...Total %1 bytes of FPGA "
                          "Configuration to be loaded and %2 bytes were loaded...")
                          .arg(size)
                          .arg(result)
                    : QStringLiteral("Loading %1 bytes of FPGA firmware ... aborted ...").arg(size);
            break;
        case Kind::FpgaFlash:
            if (result == -5) {
                text = QStringLiteral(
                    "ERROR::Failed to load FPGA firmware to falsh because the "
                    "flash device is unrecognized device...");
            } else {
                text = loaded ? QStringLiteral(
                                    "Total %1 bytes of FPGA firmware to be read from "
                                    "the configuration file and %2 bytes were "
                                    "uploaded to the flash...")
                                    .arg(size)
                                    .arg(result)
                              : QStringLiteral(
                                    "Uploading %1 bytes of FPGA firmware ... aborted "
                                    "...")
                                    .arg(size);
            }
            break;
        case Kind::Mcu:
            text = loaded ? QStringLiteral(
                                "Loading MCU firmware...Total %1 bytes of MCU "
                                "firmwaren were loaded...")
                                .arg(result)
                          : QStringLiteral("Loading %1 bytes of MCU firmware ... aborted ...")
                                .arg(result);
            break;
        case Kind::McuEeprom: {
            const QString outcome = loaded      ? QStringLiteral("Done")
                                    : cancelled ? QStringLiteral("Aborted")
                                                : QStringLiteral("Failed");
            text = QStringLiteral("Loading MCU Firmware %1 ... %2 ...").arg(file, outcome);
            break;
        }
    }
    if (loaded) {
        PromptService::information(parent, kTitle, text);
    } else {
        PromptService::warning(parent, kTitle, text);
    }
}

}  // namespace

FirmwareLoad::Outcome FirmwareLoad::run(QWidget* parent, CamContext* handle, Kind kind,
                                        std::chrono::milliseconds settle) {
    Outcome outcome;
    if (handle == nullptr) {
        return outcome;
    }
    if (kind == Kind::FpgaFlash && !flashReady(parent, handle)) {
        return outcome;
    }
    const Recipe steps = recipe(kind);
    const QString file = PromptService::current().openFileName(
        parent, QStringLiteral("Open File"), VelquinRoot::path(QStringLiteral("Drivers/firmware")),
        steps.filter);
    if (file.isEmpty()) {
        PromptService::information(parent, QStringLiteral("Action aborted."),
                                   QStringLiteral("Action cancelled or no valid file selected"));
        return outcome;
    }
    const QString question = steps.question.arg(boardVersion(handle, kind), file) +
                             QStringLiteral("\nAre you sure you want to load the firmware?");
    if (!PromptService::askYesNo(parent, QMessageBox::Question, kQuestionTitle, question)) {
        return outcome;
    }

    ProgressDialog::open(steps.progressLabel, QStringLiteral("Cancel"), steps.progressEnd, parent);
    StreamPause pause(handle, settle);
    if (steps.loadsController) {
        FirmwareLoadLock::set();
    }
    int size = 0;
    outcome.attempted = true;
    outcome.result = load(handle, kind, QFile::encodeName(file), size);
    if (steps.restartsFpga) {
        FpgaRestart::run(handle);
        pause.restartStream();
    }
    ProgressDialog::update(steps.progressEnd, nullptr);
    ProgressDialog::close();
    report(parent, kind, file, outcome.result, size, ProgressDialog::cancelled());
    return outcome;
}

}  // namespace hv
