#include "device/kxAppCall.h"

#include "device/kxCamContext.h"
#include "device/kxCamDevice.h"

AppCall::AppCall(const CamContext& context) : m_device(context.owner) {
    if (m_device != nullptr && m_device->prepAppIntfFunc(&m_taken) != 0) {
        m_device = nullptr;
    }
}

AppCall::~AppCall() {
    if (m_device != nullptr) {
        m_device->doneAppIntfFunc(m_taken);
    }
}
