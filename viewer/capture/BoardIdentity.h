// What names the board a photo or recording was taken with: its model label, its serial number
// from the manufacturing record and its firmware versions. Read once when the board is brought
// up.
#pragma once

#include <QString>

#include <kxCamContextHead.h>

namespace hv {

class BoardIdentity {
public:
    static constexpr int kMfgEeprom = 0x54;
    static constexpr int kSerialAddress = 0x05;
    static constexpr int kSerialBytes = 4;

    BoardIdentity() = default;
    // Reads the board behind handle, named deviceName by the library (its model label, then "_"
    // and its number among the boards of its model).
    BoardIdentity(CamContext* handle, const QString& deviceName);

    const QString& modelLabel() const { return m_modelLabel; }
    // Eight hex digits, high byte first; empty when the record could not be read.
    const QString& serialNumber() const { return m_serialNumber; }
    // "major.minor" in hex, as the about dialog shows them.
    const QString& fpgaVersion() const { return m_fpgaVersion; }
    const QString& mcuVersion() const { return m_mcuVersion; }

private:
    QString m_modelLabel;
    QString m_serialNumber;
    QString m_fpgaVersion;
    QString m_mcuVersion;
};

}  // namespace hv
