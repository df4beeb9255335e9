// A fresh folder for one test, made the current folder while the object lives.
#pragma once

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // The whole content of a file in the folder ("" when missing).
    std::string read(const std::string& name) const;

private:
    std::string m_path;
    std::string m_previous;
};
