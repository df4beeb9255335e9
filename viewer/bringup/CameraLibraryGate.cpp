#include "CameraLibraryGate.h"

#include <kxCxApi.h>
#include "PromptService.h"
#include "ViewerVersion.h"

namespace hv {

namespace {

constexpr int kMajor = 2;
constexpr int kMinor = 1;
constexpr int kRevision = 0;
constexpr int kLowestBuild = 6;

}  // namespace

bool CameraLibraryGate::accepts(int major, int minor, int revision, int build) {
    return major == kMajor && minor == kMinor && revision == kRevision && build >= kLowestBuild;
}

int CameraLibraryGate::load(QWidget* parent) {
    const QString title = ViewerVersion::windowTitle();
    if (isCxLibValid()) {
        unloadCxLib();
    }
    const int loaded = loadCxLib();
    if (loaded != 0) {
        const bool goOn = PromptService::askYesNo(
            parent, QMessageBox::Warning, title,
            QStringLiteral("ERROR::Fail to load CxDevices library, continue(Y/N)"));
        return goOn ? loaded : -1;
    }
    int major = 0;
    int minor = 0;
    int revision = 0;
    int build = 0;
    getCxLibVersion(&major, &minor, &revision, &build);
    if (accepts(major, minor, revision, build)) {
        return 0;
    }
    const QString text =
        QStringLiteral("ERROR::This application requires CxLib <V%1.%2.%3.%4> or above...")
            .arg(kMajor)
            .arg(kMinor)
            .arg(kRevision)
            .arg(kLowestBuild) +
        QStringLiteral("\n") +
        QStringLiteral("Current CxLib version is <%1>...")
            .arg(QString::fromLatin1(getCxLibVersionLabel())) +
        QStringLiteral("\n") + QStringLiteral("Program will be terminated...");
    PromptService::critical(parent, title, text);
    return -2;
}

}  // namespace hv
