// The head of a device handle: the fields a caller of the camera library may read.
//
// Every device operation takes a CamContext pointer returned by openCxDevice. The record itself
// belongs to the library; its first fields, laid out below, are part of the interface, so the
// viewer can read the kind tag and status word of a handle given to its frame callback and the
// flash-erased flag before a flash load.
#pragma once

#include <cstdint>

class CamDevice;
struct CamContext;

struct CamContextHead {
    // 1 for every handle that openCxDevice returns; 0 selects the second variant's
    // single-frame path of acquireOneFrame; other values are refused by every export.
    int32_t kindTag;
    // The device object that contains this context.
    CamDevice* owner;
    // 0xFF while the handle buttons did not change, else their new nibble (0 to 15).
    int32_t statusWord;
    // Set by a successful eraseFpgaFromFlash, tested before a flash load.
    bool flashErased;
};

// The head of a handle. The library keeps the head at the start of every CamContext.
inline CamContextHead* cxContextHead(CamContext* handle) {
    return reinterpret_cast<CamContextHead*>(handle);
}
inline const CamContextHead* cxContextHead(const CamContext* handle) {
    return reinterpret_cast<const CamContextHead*>(handle);
}
