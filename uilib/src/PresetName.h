// Whether a name typed for a new preset may name one: it becomes the file name + ".txt" in the
// preset's folder, and a word of the settings files.
#pragma once

#include <QString>

namespace kxui {

class PresetName {
public:
    // Longest name in bytes (UTF-8): with ".txt" it stays within a file name's 255 bytes.
    static constexpr int kMaxBytes = 251;

    // Whether name stays a file of the preset's folder: false for an empty name, one with
    // control characters, "/", "\", ":" or "..", one starting with "." (hidden), and one
    // longer than kMaxBytes.
    static bool safeAsFile(const QString& name);
    // Whether a typed name may name a new preset: safe as a file and without white space.
    static bool acceptable(const QString& name);
};

}  // namespace kxui
