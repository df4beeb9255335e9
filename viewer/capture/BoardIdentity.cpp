#include "BoardIdentity.h"

#include <QRegularExpression>

#include <kxCxApi.h>
#include "BoardVersions.h"

namespace hv {

BoardIdentity::BoardIdentity(CamContext* handle, const QString& deviceName)
    : m_modelLabel(deviceName) {
    static const QRegularExpression number(QStringLiteral("_[0-9]+$"));
    m_modelLabel.remove(number);
    QString serial;
    for (int i = 0; i < kSerialBytes; ++i) {
        int value = 0;
        if (readRegister(handle, kMfgEeprom, kSerialAddress + i, &value, 0) != 1) {
            serial.clear();
            break;
        }
        serial += QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    }
    m_serialNumber = serial;
    m_fpgaVersion = QString::asprintf("%x.%02x", BoardVersions::fpgaMajor(handle),
                                      BoardVersions::fpgaMinor(handle));
    const int mcu = BoardVersions::mcu(handle);
    m_mcuVersion = QString::asprintf("%x.%02x", mcu / 256, mcu % 256);
}

}  // namespace hv
