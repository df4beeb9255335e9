#include "DeviceInitialiser.h"

#include <QDir>

#include <kxCxApi.h>
#include "BoardVersions.h"
#include "FirmwareGate.h"
#include "PromptService.h"
#include "ViewerVersion.h"

namespace hv {

namespace {

bool acceptFailure(QWidget* parent, const QString& text) {
    return PromptService::askYesNo(parent, QMessageBox::Warning, ViewerVersion::windowTitle(),
                                   text);
}

}  // namespace

QStringList DeviceInitialiser::gammaFiles(const QString& gammaFolder) {
    QStringList files;
    for (int table = 0; table < kTableCount; ++table) {
        const int file = table < 4 ? table : 0;
        files << gammaFolder + QStringLiteral("/Lookup1024_%1.txt").arg(file);
    }
    return files;
}

int DeviceInitialiser::initialise(QWidget* parent, CamContext* handle, const QString& regFile,
                                  const QStringList& gammaTables) {
    const QString title = ViewerVersion::windowTitle();
    int result = initFPGA(handle);
    if (result < 0) {
        PromptService::information(parent, title,
                                   QStringLiteral("ERROR::Fail to initialize FPGA...Error Code "
                                                  "<%1>...\nProgram will be terminated...")
                                       .arg(result));
        return kFpgaFailed;
    }
    result = sendRegFile(handle, regFile.toLocal8Bit().constData(), nullptr);
    if (result < 0) {
        PromptService::warning(parent, title,
                               QStringLiteral("ERROR::Fail to initialize Registers...Error Code "
                                              "<%1>...\nProgram will be terminated...")
                                   .arg(result));
        return kRegistersFailed;
    }
    if (BoardVersions::mcu(handle) >= FirmwareGate::kLowestMcu) {
        const int mask = uploadGammaTables(parent, handle, gammaTables);
        if (mask != 0) {
            const bool goOn =
                acceptFailure(parent, QStringLiteral("WARNING::Fail to initialize Gamma "
                                                     "table...Error Code <%1>..., continue(Y/N)?")
                                          .arg(mask));
            return goOn ? mask : -mask;
        }
    } else {
        PromptService::information(
            parent, title,
            QStringLiteral("MCU firmware version is below %1.%2. Gamma table cannot be loaded...")
                .arg(1)
                .arg(7, 2, 10, QLatin1Char('0')));
    }
    result = resetUsbFifo(handle);
    if (result < 0) {
        const bool goOn = acceptFailure(
            parent,
            QStringLiteral("WARNING::Fail to reset FIFO ... Error Code <%1>..., continue(Y/N)?")
                .arg(result));
        return goOn ? kFifoAccepted : -kFifoAccepted;
    }
    if (setCxSignalWeight(handle, 0) != 0) {
        const bool goOn = acceptFailure(
            parent,
            QStringLiteral("WARNING::Fail to initialize signal weight <%1>..., continue(Y/N)?")
                .arg(0));
        return goOn ? kWeightAccepted : -kWeightAccepted;
    }
    return 0;
}

int DeviceInitialiser::uploadGammaTables(QWidget* parent, CamContext* handle,
                                         const QStringList& gammaTables) {
    int mask = 0;
    for (int table = 0; table < gammaTables.size() && table < kTableCount; ++table) {
        const QString& file = gammaTables[table];
        const int result = uploadGammaTable(handle, table, file.toLocal8Bit().constData(), 0);
        if (result >= 0) {
            continue;
        }
        const bool accepted = acceptFailure(
            parent, QStringLiteral("WARNING::Fail to load gamma table <%1>, default value is "
                                   "used...Error Code(%2)")
                        .arg(QDir::toNativeSeparators(file))
                        .arg(result));
        if (!accepted) {
            mask |= 1 << table;
        }
    }
    return mask;
}

}  // namespace hv
