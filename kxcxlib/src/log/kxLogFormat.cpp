#include "log/kxLogFormat.h"

#include <unistd.h>

#include <boost/date_time/posix_time/posix_time.hpp>
#include <cstdio>
#include <sstream>
#include <thread>

namespace {

// Prints one value with a printf conversion into the scratch size, cutting longer output.
template <typename T>
void appendConverted(std::string& out, const char* conversion, T value, std::size_t limit) {
    char scratch[32767];
    const std::size_t size = std::min(limit, sizeof scratch);
    const int n = std::snprintf(scratch, size, conversion, value);
    if (n > 0) {
        out.append(scratch, std::min(static_cast<std::size_t>(n), size - 1));
    }
}

void replaceAll(std::string& text, const std::string& token, const std::string& value) {
    std::size_t pos = 0;
    while ((pos = text.find(token, pos)) != std::string::npos) {
        text.replace(pos, token.size(), value);
        pos += value.size();
    }
}

}  // namespace

std::string LogFormat::format(const char* fmt, va_list args) {
    std::string out;
    if (fmt == nullptr) {
        return out;
    }
    va_list ap;
    va_copy(ap, args);
    for (const char* p = fmt; *p != '\0'; ++p) {
        if (*p != '%') {
            out.push_back(*p);
            continue;
        }
        const char c = *++p;
        if (c == '\0') {
            break;
        }
        switch (c) {
            case 'd':
                appendConverted(out, "%d", va_arg(ap, int), kScratchBytes);
                break;
            case 'c':
                appendConverted(out, "%c", va_arg(ap, int), kScratchBytes);
                break;
            case 's': {
                const char* s = va_arg(ap, const char*);
                appendConverted(out, "%s", s != nullptr ? s : "(null)", kScratchBytes);
                break;
            }
            case 'f':
            case 'e':
            case 'g': {
                const char conversion[3] = {'%', c, '\0'};
                const double narrowed = static_cast<float>(va_arg(ap, double));
                appendConverted(out, conversion, narrowed, kScratchBytes);
                break;
            }
            case '.': {
                // "%." N X: N decimals, X is taken but not looked at. A format cut short, or an N
                // that is not a digit, prints nothing and takes no argument.
                if (p[1] == '\0' || p[2] == '\0') {
                    p += std::char_traits<char>::length(p) - 1;
                    break;
                }
                const char decimals = p[1];
                p += 2;
                if (decimals < '0' || decimals > '9') {
                    break;
                }
                const char conversion[5] = {'%', '.', decimals, 'f', '\0'};
                const double narrowed = static_cast<float>(va_arg(ap, double));
                appendConverted(out, conversion, narrowed, kScratchBytes);
                break;
            }
            case 'D':
            case 'P':
            case 't':
                out.push_back('%');
                out.push_back(c);
                break;
            default:
                break;
        }
    }
    va_end(ap);
    return out;
}

std::string LogFormat::localTimeText() {
    return boost::posix_time::to_simple_string(boost::posix_time::microsec_clock::local_time());
}

std::string LogFormat::expandStamps(const std::string& line) {
    std::string text = line;
    if (text.find("%D") != std::string::npos) {
        replaceAll(text, "%D", localTimeText());
    }
    if (text.find("%t") != std::string::npos) {
        std::ostringstream id;
        id << std::this_thread::get_id();
        replaceAll(text, "%t", id.str());
    }
    if (text.find("%P") != std::string::npos) {
        replaceAll(text, "%P", std::to_string(getpid()));
    }
    return text;
}
