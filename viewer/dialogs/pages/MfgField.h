// The fields of a board's manufacturing record (the EEPROM at I2C 0x54, from address 0):
//
//   0x00-0x03  board ID        32 bits, most significant byte first   shown as 8 hex digits
//   0x04       revision        one ASCII character, 0-9 or A-Z         either case
//   0x05-0x08  serial number   as the board ID
//   0x09-0x0A  location        two ASCII characters: US, CA, CN, MX or EU
//   0x0B-0x12  date            eight ASCII characters "mm-dd-yy" (MfgDateRule)
//
// Each field has its rule for text being typed (not longer than the field, every character
// allowed where it stands) and its default for a record that does not hold a valid one.
#pragma once

#include <QString>
#include <vector>

namespace hv {

class MfgField {
public:
    enum Id { BoardId, Revision, SerialNumber, Location, Date };
    static constexpr int kCount = 5;

    enum class Verdict { Fits, TooLong, Invalid };

    // The field of an id; ids run in address order.
    static const MfgField& of(Id id);

    Id id() const { return m_id; }
    int address() const { return m_address; }
    // Bytes in the record, and characters of a whole field's text.
    int bytes() const { return m_hex ? m_length / 2 : m_length; }
    int length() const { return m_length; }
    // What a field that did not read back valid is set to.
    QString defaultText() const { return QString::fromLatin1(m_default); }
    // How notices name the field ("Board ID").
    QString name() const { return QString::fromLatin1(m_name); }

    // Text being typed: too long, a character the field does not allow, or fits (it can be
    // completed to a valid field; empty text fits).
    Verdict check(const QString& text) const;
    // A whole field: exactly length() characters that fit.
    bool valid(const QString& text) const;

    // The record's bytes of a valid text: two hex digits a byte (either case), or one character
    // a byte.
    std::vector<int> encode(const QString& text) const;
    // The text of the record's bytes: two upper-case hex digits a byte, high nibble first, or
    // one Latin-1 character a byte.
    QString decode(const std::vector<int>& bytes) const;

private:
    enum class Rule { HexDigits, Revision, Location, Date };

    constexpr MfgField(Id id, int address, int length, Rule rule, const char* defaultText,
                       const char* name)
        : m_id(id),
          m_address(address),
          m_length(length),
          m_hex(rule == Rule::HexDigits),
          m_rule(rule),
          m_default(defaultText),
          m_name(name) {}

    bool allows(const QString& text) const;

    Id m_id;
    int m_address;
    int m_length;
    bool m_hex;
    Rule m_rule;
    const char* m_default;
    const char* m_name;

    static const MfgField kFields[kCount];
};

}  // namespace hv
