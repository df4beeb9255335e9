#include "kxCxModBase.h"

ModBase::~ModBase() = default;
