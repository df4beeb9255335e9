// One opened channel to a board: the record behind every device handle.
//
// The head (kind tag, owner, status word, flash-erased flag) comes first and is read by callers
// through the public header; the channel's own fields follow it.
#pragma once

#include "kxCamContextHead.h"

struct CamContext : CamContextHead {
    CamContext() : CamContextHead{1, nullptr, 0, false} {}
};
