// Marks the functions the camera library exports; everything else stays hidden.
#pragma once

#if defined(KXCX_BUILDING_LIBRARY)
#define KXCX_API __attribute__((visibility("default")))
#else
#define KXCX_API
#endif
