// A register port that passes every transfer on to the board through the camera library and
// notes the writes, in order, as "SS RRRR VV" (slave, register, value in hexadecimal; the
// register with four digits when the address is wide, else two). One register can be made to
// lose its writes: they do not reach the board and report failure, as a write the part did not
// take.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

#include "CxRegisterPort.h"

namespace hvtest {

class RecordingRegisterPort : public hv::RegisterPort {
public:
    bool read(CamContext* handle, int slave, int reg, bool wide, int& value) override {
        ++m_reads;
        return m_board.read(handle, slave, reg, wide, value);
    }
    bool write(CamContext* handle, int slave, int reg, bool wide, int value) override {
        m_writes
            << QStringLiteral("%1 %2 %3").arg(hex(slave, 2), hex(reg, wide ? 4 : 2), hex(value, 2));
        if (m_losing == std::make_pair(slave, reg)) {
            return false;
        }
        return m_board.write(handle, slave, reg, wide, value);
    }

    void loseWritesTo(int slave, int reg) { m_losing = std::make_pair(slave, reg); }

    const QStringList& writes() const { return m_writes; }
    int reads() const { return m_reads; }
    void clear() {
        m_writes.clear();
        m_reads = 0;
    }

private:
    static QString hex(int value, int digits) {
        return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0'));
    }

    hv::CxRegisterPort m_board;
    QStringList m_writes;
    int m_reads = 0;
    std::optional<std::pair<int, int>> m_losing;
};

}  // namespace hvtest
