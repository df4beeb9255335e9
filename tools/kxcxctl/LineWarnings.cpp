#include "LineWarnings.h"

LineWarnings::LineWarnings(std::ostream& err, std::string command, std::string path)
    : m_err(err), m_command(std::move(command)), m_path(std::move(path)) {}

LineWarnings::~LineWarnings() {
    if (m_count > kShown) {
        m_err << "kxcxctl " << m_command << ": " << m_path << ": warning: " << m_count - kShown
              << " more lines like these" << std::endl;
    }
}

void LineWarnings::add(int line, const std::string& what, const std::string& text) {
    if (++m_count > kShown) {
        return;
    }
    m_err << "kxcxctl " << m_command << ": " << m_path << ":" << line << ": warning: " << what;
    const std::string shown = text.substr(0, text.find_first_of("\r\n"));
    if (shown.find_first_not_of(" \t") != std::string::npos) {
        m_err << ": " << shown;
    }
    m_err << std::endl;
}
