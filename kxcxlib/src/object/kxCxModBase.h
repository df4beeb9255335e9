// Common base of the module lock and the module log.
#pragma once

#include "object/kxCxModObj.h"

class ModBase : public ModObj {
public:
    ~ModBase() override;
};
