// The words of one kxcxctl command: positional values and --options.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

class Arguments {
public:
    // Splits args into positional words and options. Options named in withValue take the next
    // word as their value ("--device NAME"); the others are flags ("--wide").
    Arguments(const std::vector<std::string>& args, const std::vector<std::string>& withValue);

    const std::vector<std::string>& positional() const { return m_positional; }
    bool flag(const std::string& name) const;
    std::optional<std::string> option(const std::string& name) const;
    // Every value of an option given several times, in order.
    std::vector<std::string> options(const std::string& name) const;
    // The first problem met while splitting (an option without its value), or empty.
    const std::string& error() const { return m_error; }
    // Options that are neither flags in `flags` nor options with values.
    std::vector<std::string> unknown(const std::vector<std::string>& flags) const;

    // "0x3C" (hexadecimal) or "60" (decimal); nothing when not a number in [min, max].
    static std::optional<long> number(const std::string& text, long min, long max);

private:
    std::vector<std::string> m_positional;
    std::map<std::string, std::string> m_options;
    std::vector<std::pair<std::string, std::string>> m_allOptions;
    std::vector<std::string> m_flags;
    std::vector<std::string> m_withValue;
    std::string m_error;
};
