#include "device/kxRingNode.h"

RingNode::RingNode() : data(new uint8_t[kFrameBytes]()) {}
