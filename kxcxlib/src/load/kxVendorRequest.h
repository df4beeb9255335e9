// Vendor control transfers of the loaders, through the channel's control routine: the bytes of
// the data stage transferred, or the platform error of a failed transfer negated (-ENODEV,
// -ETIMEDOUT, -EPIPE, ...). The I2C bridge request and its slave addresses are those of
// RegisterAccess.
#pragma once

#include <cstdint>

struct CamContext;

class VendorRequest {
public:
    static constexpr int kRequestJtag = 0xD0;
    static constexpr int kRequestRamLoad = 0xA0;
    static constexpr int kRequestFlashBegin = 0xAB;
    static constexpr int kRequestFlashEnd = 0xAA;
    static constexpr int kRequestVersion = 0xB0;

    static int out(CamContext* context, int request, int value, int index, const uint8_t* data,
                   int length);
    static int in(CamContext* context, int request, int value, int index, uint8_t* data,
                  int length);
    // The platform error of the calling thread's last failed transfer negated (-EIO when the
    // transport left none).
    static int failure();
};
