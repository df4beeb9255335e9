#include "Vocabulary.h"

#include <algorithm>

namespace kxui {

Vocabulary::Vocabulary(std::initializer_list<std::pair<int, const char*>> words) {
    for (const auto& [value, word] : words) {
        m_words.emplace_back(value, word);
    }
}

bool Vocabulary::find(const std::string& word, int& value) const {
    const auto found = std::find_if(m_words.begin(), m_words.end(),
                                    [&word](const auto& entry) { return entry.second == word; });
    if (found == m_words.end()) {
        return false;
    }
    value = found->first;
    return true;
}

std::string Vocabulary::wordOf(int value) const {
    const auto found = std::find_if(m_words.begin(), m_words.end(),
                                    [value](const auto& entry) { return entry.first == value; });
    return found != m_words.end() ? found->second : std::string();
}

}  // namespace kxui
