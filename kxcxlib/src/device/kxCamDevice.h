// A camera board opened by the library. The board variants derive from it.
#pragma once

#include "kxCamBase.h"

struct CamContext;

class CamDevice : public CamBase {
public:
    ~CamDevice() override;

    // Stops what runs on the context and closes its channel. Non-negative on success.
    virtual int closeContext(CamContext* context) = 0;
};
