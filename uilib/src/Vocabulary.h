// The words a setting's value may be written as, each standing for one number. A word is read
// back exactly as written (letter case counts), so "16x16" and "16X16" are different words.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace kxui {

class Vocabulary {
public:
    Vocabulary(std::initializer_list<std::pair<int, const char*>> words);

    // The number word stands for; false (value unchanged) for a word not in the vocabulary.
    bool find(const std::string& word, int& value) const;
    // The word for value; empty for a number without a word.
    std::string wordOf(int value) const;

private:
    std::vector<std::pair<int, std::string>> m_words;
};

}  // namespace kxui
