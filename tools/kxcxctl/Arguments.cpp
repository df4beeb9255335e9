#include "Arguments.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

Arguments::Arguments(const std::vector<std::string>& args,
                     const std::vector<std::string>& withValue)
    : m_withValue(withValue) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            m_positional.push_back(word);
            continue;
        }
        if (std::find(withValue.begin(), withValue.end(), word) != withValue.end()) {
            if (i + 1 >= args.size()) {
                if (m_error.empty()) {
                    m_error = word + " needs a value";
                }
                continue;
            }
            m_options[word] = args[++i];
            m_allOptions.emplace_back(word, args[i]);
        } else {
            m_flags.push_back(word);
        }
    }
}

bool Arguments::flag(const std::string& name) const {
    return std::find(m_flags.begin(), m_flags.end(), name) != m_flags.end();
}

std::optional<std::string> Arguments::option(const std::string& name) const {
    const auto it = m_options.find(name);
    if (it == m_options.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::vector<std::string> Arguments::options(const std::string& name) const {
    std::vector<std::string> values;
    for (const auto& [option, value] : m_allOptions) {
        if (option == name) {
            values.push_back(value);
        }
    }
    return values;
}

std::vector<std::string> Arguments::unknown(const std::vector<std::string>& flags) const {
    std::vector<std::string> list;
    for (const std::string& name : m_flags) {
        if (std::find(flags.begin(), flags.end(), name) == flags.end()) {
            list.push_back(name);
        }
    }
    return list;
}

std::optional<long> Arguments::number(const std::string& text, long min, long max) {
    if (text.empty()) {
        return std::nullopt;
    }
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits[0] == '-' || digits[0] == '+' || digits[0] == ' ') {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(digits.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}
