// Holds an application-call reference on a context's device for the length of an operation
// (CamBase::prepAppIntfFunc on entry, doneAppIntfFunc on exit).
#pragma once

#include "device/kxCamBase.h"

struct CamContext;
class CamDevice;

class AppCall {
public:
    explicit AppCall(const CamContext& context);
    ~AppCall();
    AppCall(const AppCall&) = delete;
    AppCall& operator=(const AppCall&) = delete;

private:
    CamDevice* m_device;
    CamBase::AppRef m_taken = CamBase::AppRef::Log;
};
