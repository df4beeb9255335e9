#include "GammaTableTransfer.h"

#include <QFile>
#include <QString>
#include <thread>

#include "GammaFileList.h"
#include "GammaTable.h"
#include "PromptService.h"
#include "StreamPause.h"
#include "kxCxApi.h"

namespace hv {

namespace {

const QString kTitle = QStringLiteral("FPGA Tool");
constexpr int kFileType = 0;

// The stream and the clock back, as the pause found them.
void resume(CamContext* handle, StreamPause& pause) {
    restartDvpClock(handle);
    std::this_thread::sleep_for(GammaTableTransfer::kSettle);
    pause.restartStream();
    std::this_thread::sleep_for(GammaTableTransfer::kSettle);
}

}  // namespace

int GammaTableTransfer::upload(QWidget* parent, CamContext* handle) {
    if (handle == nullptr) {
        return -1;
    }
    {
        GammaTable choice(parent);
        if (choice.exec() != QDialog::Accepted) {
            return -1;
        }
    }
    StreamPause pause(handle, kSettle);
    int uploaded = 0;
    for (int table = 0; table < GammaFileList::kUploadSlots; ++table) {
        const QByteArray file = QFile::encodeName(GammaFileList::name(table));
        const int result = uploadGammaTable(handle, table, file.constData(), kFileType);
        if (result > 0) {
            ++uploaded;
        } else {
            PromptService::warning(parent, kTitle,
                                   QStringLiteral("Fail to upload gamma table #%1, default valuse "
                                                  "are used... ==> ERRORCODE(%2)...")
                                       .arg(table)
                                       .arg(result));
        }
    }
    resume(handle, pause);
    PromptService::information(
        parent, kTitle, QStringLiteral("Number of %1 Gamma Table are uploaded...").arg(uploaded));
    return uploaded;
}

int GammaTableTransfer::download(QWidget* parent, CamContext* handle) {
    if (handle == nullptr) {
        return -1;
    }
    StreamPause pause(handle, kSettle);
    int downloaded = 0;
    for (int table = 0; table < kSlots; ++table) {
        const int result = downloadGammaTable(handle, table);
        if (result > 0) {
            ++downloaded;
        } else {
            PromptService::warning(parent, kTitle,
                                   QStringLiteral("Fail to download gamma table #%1, default "
                                                  "valuse are used... ==> ERRORCODE(%2)...")
                                       .arg(table)
                                       .arg(result));
        }
    }
    PromptService::information(
        parent, kTitle,
        QStringLiteral("Number of %1 Gamma Table are downloaded...").arg(downloaded));
    resume(handle, pause);
    return downloaded;
}

}  // namespace hv
