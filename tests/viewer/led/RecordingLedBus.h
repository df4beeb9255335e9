// An LED bus that passes every transfer on to a board and notes it, in order, as
// "r CC RR = VV" (read of register RR of chip CC that returned VV, or "failed") and
// "w CC RR VV", all in hexadecimal.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "CxLedBus.h"

namespace hvtest {

class RecordingLedBus : public hv::LedBus {
public:
    explicit RecordingLedBus(CamContext* handle) : m_board(handle) {}

    bool read(int chip, int reg, int& value) override {
        const bool answered = m_board.read(chip, reg, value);
        note(QStringLiteral("r %1 %2 = %3")
                 .arg(hex(chip), hex(reg), answered ? hex(value) : QStringLiteral("failed")));
        return answered;
    }
    void write(int chip, int reg, int value) override {
        m_board.write(chip, reg, value);
        note(QStringLiteral("w %1 %2 %3").arg(hex(chip), hex(reg), hex(value)));
    }

    const std::vector<std::string>& transfers() const { return m_transfers; }

private:
    static QString hex(int value) { return QString::asprintf("%02x", value); }
    void note(const QString& transfer) { m_transfers.push_back(transfer.toStdString()); }

    hv::CxLedBus m_board;
    std::vector<std::string> m_transfers;
};

}  // namespace hvtest
