#include "kxCamDevice.h"

CamDevice::~CamDevice() = default;
