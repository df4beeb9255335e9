// The checks every device export makes before it touches a handle, in the order callers rely on.
#pragma once

struct CamContext;

class ExportChecks {
public:
    // -1 without a library object, -2 for a null handle, else 0.
    static int handle(const CamContext* handle);
    // handle(), then the kind checks of the board controls: kind 1 without owner -4, kind 0
    // without owner -3, any other kind -5.
    static int boardControl(const CamContext* handle);
};
