#include "GammaTableTransfer.h"

#include <QFile>
#include <QString>
#include <functional>
#include <thread>

#include <kxCxApi.h>
#include "GammaFileList.h"
#include "GammaTable.h"
#include "PromptService.h"
#include "StreamPause.h"

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

// Runs transfer for tables 0 to count - 1; a result of 0 or less is reported with failure (%1 the
// table, %2 the result). The tables that went through.
int eachTable(QWidget* parent, int count, const std::function<int(int table)>& transfer,
              const QString& failure) {
    int done = 0;
    for (int table = 0; table < count; ++table) {
        const int result = transfer(table);
        if (result > 0) {
            ++done;
        } else {
            PromptService::warning(parent, kTitle, failure.arg(table).arg(result));
        }
    }
    return done;
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
    const int uploaded = eachTable(
        parent, GammaFileList::kUploadSlots,
        [handle](int table) {
            const QByteArray file = QFile::encodeName(GammaFileList::name(table));
            return uploadGammaTable(handle, table, file.constData(), kFileType);
        },
        QStringLiteral("Fail to upload gamma table #%1, default valuse are used... ==> "
                       "ERRORCODE(%2)..."));
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
    const int downloaded = eachTable(
        parent, kSlots, [handle](int table) { return downloadGammaTable(handle, table); },
        QStringLiteral("Fail to download gamma table #%1, default valuse are used... ==> "
                       "ERRORCODE(%2)..."));
    PromptService::information(
        parent, kTitle,
        QStringLiteral("Number of %1 Gamma Table are downloaded...").arg(downloaded));
    resume(handle, pause);
    return downloaded;
}

}  // namespace hv
