#include "DeviceShutdown.h"

#include <kxCxApi.h>
#include "PromptService.h"
#include "ViewerVersion.h"

namespace hv {

int DeviceShutdown::run(QWidget* parent, QList<CamContext*>& handles, QStringList& names) {
    const QString title = ViewerVersion::windowTitle();
    int mask = 0;
    for (int i = 0; i < handles.size(); ++i) {
        if (handles[i] == nullptr) {
            continue;
        }
        const int result = closeCxDevice(handles[i]);
        if (result < 0) {
            PromptService::warning(parent, title,
                                   QStringLiteral("ERROR::Failed to close imaging hardware "
                                                  "device[%1]!!!...<Error Code is %2>...")
                                       .arg(i < names.size() ? names[i] : QString())
                                       .arg(result));
            mask |= 1 << i;
        }
    }
    const int removed = removeCxDevices();
    if (removed < 0) {
        PromptService::warning(parent, title,
                               QStringLiteral("ERROR::Failed to remove Cx hardware device from "
                                              "system...Error Code [%1]...!!!")
                                   .arg(removed));
        mask |= kRemoveFailed;
    }
    handles.clear();
    names.clear();
    if (unloadCxLib() < 0) {
        PromptService::warning(parent, title,
                               QStringLiteral("ERROR::Failed to unload CamDevice library!!!..."));
        mask |= kUnloadFailed;
    }
    return mask;
}

}  // namespace hv
