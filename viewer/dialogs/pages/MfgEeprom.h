// The manufacturing EEPROM of one board (I2C 0x54, 8-bit addresses), a field of its record at a
// time. A write gives the part 50 ms for its write cycle after every byte; a read of the revision
// is followed by a pause of 50 ms and the location's two bytes are read 100 ms apart.
#pragma once

#include <vector>

#include "MfgField.h"
#include "RegisterPort.h"

namespace hv {

class MfgEeprom {
public:
    static constexpr int kSlave = 0x54;

    // Both are borrowed for the object's life.
    MfgEeprom(RegisterPort& port, CamContext* handle) : m_port(port), m_handle(handle) {}

    // The field's bytes in address order; a byte whose read failed is 0.
    std::vector<int> read(const MfgField& field);
    // Writes bytes from the field's address on, one by one; a failed write does not stop the
    // others and is not told (read the field back to know).
    void write(const MfgField& field, const std::vector<int>& bytes);

private:
    RegisterPort& m_port;
    CamContext* m_handle;
};

}  // namespace hv
