// Readies an open board for streaming: FPGA start-up, the register file, the seven gamma tables
// (when the USB controller's firmware can take them), the USB FIFO reset and the signal weight.
// Failures are asked about or reported through the prompt service.
#pragma once

#include <QString>
#include <QStringList>

#include <kxCamContextHead.h>

class QWidget;

namespace hv {

class DeviceInitialiser {
public:
    static constexpr int kTableCount = 7;
    static constexpr int kFpgaFailed = -256;
    static constexpr int kRegistersFailed = -512;
    static constexpr int kFifoAccepted = 1024;
    static constexpr int kWeightAccepted = 2048;

    // The gamma table files of tables 0 to 6 in gammaFolder: tables 0 to 3 from
    // "Lookup1024_0.txt" to "Lookup1024_3.txt", the others "Lookup1024_0.txt" again.
    static QStringList gammaFiles(const QString& gammaFolder);

    // 0 when every step succeeded. Negative: stop (kFpgaFailed, kRegistersFailed, -mask of the
    // gamma tables refused, -kFifoAccepted, -kWeightAccepted). Positive: the user accepted a
    // failure (+mask, kFifoAccepted, kWeightAccepted) and the board runs without streaming.
    static int initialise(QWidget* parent, CamContext* handle, const QString& regFile,
                          const QStringList& gammaTables);

private:
    // Bit t set for each table t whose failure the user did not accept.
    static int uploadGammaTables(QWidget* parent, CamContext* handle,
                                 const QStringList& gammaTables);
};

}  // namespace hv
