#include "MfgField.h"

#include <QStringList>
#include <algorithm>

#include "MfgDateRule.h"

namespace hv {

namespace {

bool isHexDigit(QChar c) {
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f');
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') {
        return u - '0';
    }
    if (u >= 'A' && u <= 'F') {
        return u - 'A' + 10;
    }
    if (u >= 'a' && u <= 'f') {
        return u - 'a' + 10;
    }
    return 0;
}

bool isRevisionCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

// The places a board is made, as the record spells them (case matters).
const QStringList& locations() {
    static const QStringList kLocations = {"US", "CA", "CN", "MX", "EU"};
    return kLocations;
}

}  // namespace

const MfgField MfgField::kFields[kCount] = {
    {BoardId, 0x00, 8, Rule::HexDigits, "00000000", "Board ID"},
    {Revision, 0x04, 1, Rule::Revision, "0", "Board Rev"},
    {SerialNumber, 0x05, 8, Rule::HexDigits, "00000000", "Board Ser No"},
    {Location, 0x09, 2, Rule::Location, "US", "Board Loc"},
    {Date, 0x0B, MfgDateRule::kLength, Rule::Date, "01-01-12", "Board Date"},
};

const MfgField& MfgField::of(Id id) {
    return kFields[id];
}

bool MfgField::allows(const QString& text) const {
    switch (m_rule) {
        case Rule::HexDigits:
            return std::all_of(text.begin(), text.end(), isHexDigit);
        case Rule::Revision:
            return std::all_of(text.begin(), text.end(), isRevisionCharacter);
        case Rule::Location:
            return std::any_of(locations().begin(), locations().end(),
                               [&](const QString& place) { return place.startsWith(text); });
        case Rule::Date:
            return MfgDateRule::fits(text);
    }
    return false;
}

MfgField::Verdict MfgField::check(const QString& text) const {
    if (text.size() > m_length) {
        return Verdict::TooLong;
    }
    return allows(text) ? Verdict::Fits : Verdict::Invalid;
}

bool MfgField::valid(const QString& text) const {
    return text.size() == m_length && allows(text);
}

std::vector<int> MfgField::encode(const QString& text) const {
    std::vector<int> record;
    if (m_hex) {
        for (int i = 0; i + 1 < text.size(); i += 2) {
            record.push_back(hexValue(text.at(i)) << 4 | hexValue(text.at(i + 1)));
        }
    } else {
        for (const QChar c : text) {
            record.push_back(c.unicode() & 0xFF);
        }
    }
    return record;
}

QString MfgField::decode(const std::vector<int>& bytes) const {
    QString text;
    for (const int byte : bytes) {
        if (m_hex) {
            text += QStringLiteral("%1").arg(byte & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
        } else {
            text += QChar(static_cast<char16_t>(byte & 0xFF));
        }
    }
    return text;
}

}  // namespace hv
