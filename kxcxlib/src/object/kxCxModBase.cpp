#include "object/kxCxModBase.h"

ModBase::~ModBase() = default;
