#include "configDialog.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QString>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "ReplacingFileWriter.h"
#include "Utf8Cut.h"
#include "WarningBox.h"

namespace {

// Longest value text the codecs look at, and longest STRING value.
constexpr size_t kValueChars = 80;
// Longest piece of a line that readConfig delivers at once.
constexpr int kLineBuffer = 1024;
const char* const kListTitle = "Preference Configuration";

// The text without the white space and '+' sign that the C library's number readers skip.
const char* numberStart(const std::string& text) {
    const char* begin = text.c_str();
    while (*begin == ' ' || (*begin >= '\t' && *begin <= '\r')) {
        ++begin;
    }
    if (*begin == '+' && begin[1] != '-') {
        ++begin;
    }
    return begin;
}

// Reads the decimal integer the text starts with; false when there is none or it does not fit
// 32 bits.
bool readInteger(const std::string& text, int32_t& value) {
    const char* begin = numberStart(text);
    int64_t parsed = 0;
    const auto [end, error] = std::from_chars(begin, text.c_str() + text.size(), parsed);
    if (error != std::errc() || end == begin || parsed < INT32_MIN || parsed > INT32_MAX) {
        return false;
    }
    value = static_cast<int32_t>(parsed);
    return true;
}

std::string formatInteger(long long value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// Copies the field's value (fields need not be aligned); false for a null field.
template <typename T>
bool fieldValue(const void* field, T& value) {
    if (field == nullptr) {
        return false;
    }
    std::memcpy(&value, field, sizeof value);
    return true;
}

std::string putWord(const std::string& truth, const std::string& falsehood, void* field) {
    if (field == nullptr) {
        return std::string();
    }
    return *static_cast<const uint8_t*>(field) != 0 ? truth : falsehood;
}

bool isDirectory(const std::string& folder, const dirent* entry) {
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK) {
        return entry->d_type == DT_DIR;
    }
    struct stat status {};
    return stat((folder + "/" + entry->d_name).c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

configDialog::configDialog(QWidget* parent) : QDialog(parent) {}

configDialog::~configDialog() = default;

int configDialog::readConfig(std::list<std::string>& lines, const std::string& fileName) {
    FILE* file = std::fopen(fileName.c_str(), "r");
    if (file == nullptr) {
        return 0;
    }
    int count = 0;
    char piece[kLineBuffer];
    while (std::fgets(piece, sizeof piece, file) != nullptr) {
        lines.emplace_back(piece);
        ++count;
    }
    std::fclose(file);
    return count;
}

int configDialog::writeConfig(const std::string& fileName, const std::list<std::string>& lines) {
    kxui::ReplacingFileWriter writer(fileName);
    if (writer.stream() == nullptr) {
        return 0;
    }
    int count = 0;
    for (const std::string& line : lines) {
        std::fwrite(line.data(), 1, line.size(), writer.stream());
        std::fputc('\n', writer.stream());
        ++count;
    }
    return writer.commit() ? count : 0;
}

void configDialog::getConfigList(std::list<std::string>& names, const std::string& folder) {
    const std::string base = (folder.empty() || folder.back() != '/') ? folder + "/" : folder;
    DIR* listing = opendir(base.c_str());
    if (listing == nullptr) {
        const int error = errno;
        if (error == ENOENT) {
            return;  // no such folder: no settings yet
        }
        kxui::WarningBox::show(this, QString::fromUtf8(kListTitle),
                               QString("Invalid file handle for configuration <%1>. System "
                                       "errorcode is <%2>...")
                                   .arg(QString::fromUtf8(base + "*"))
                                   .arg(error));
        return;
    }
    std::vector<std::string> found;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(listing);
        if (entry == nullptr) {
            break;
        }
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0 ||
            isDirectory(base, entry)) {
            continue;
        }
        found.emplace_back(entry->d_name);
    }
    const int error = errno;
    closedir(listing);
    std::sort(found.begin(), found.end());
    names.insert(names.end(), found.begin(), found.end());
    if (error != 0) {
        kxui::WarningBox::show(
            this, QString::fromUtf8(kListTitle),
            QString("Find next file error. System errorcode is <%1>...").arg(error));
    }
}

std::wstring configDialog::str2ws(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())).toStdWString();
}

std::string configDialog::toUpper(std::string text) {
    if (text.size() > kValueChars) {
        text.resize(kValueChars);
    }
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

void configDialog::getBOOL(void* field, std::string value) {
    if (field == nullptr) {
        return;
    }
    const std::string word = toUpper(std::move(value));
    *static_cast<uint8_t*>(field) = (word == "YES" || word == "TRUE" || word == "ON") ? 1 : 0;
}

void configDialog::getBYTE(void* field, std::string value) {
    if (field == nullptr) {
        return;
    }
    int32_t parsed = 0;
    if (readInteger(toUpper(std::move(value)), parsed)) {
        std::memcpy(field, &parsed, sizeof parsed);
    }
}

void configDialog::getWORD(void* field, std::string value) {
    getBYTE(field, std::move(value));
}

void configDialog::getUINT(void* field, std::string value) {
    getBYTE(field, std::move(value));
}

void configDialog::getDOUBLE(void* field, std::string value) {
    if (field == nullptr) {
        return;
    }
    // The whole text: files written with two decimals hold large values in more characters
    // than the other codecs look at.
    const char* begin = numberStart(value);
    double parsed = 0.0;
    const auto [end, error] = std::from_chars(begin, value.c_str() + value.size(), parsed);
    if (error != std::errc() || end == begin) {
        parsed = 0.0;
    }
    std::memcpy(field, &parsed, sizeof parsed);
}

void configDialog::getSTRING(void* field, std::string value) {
    if (field == nullptr) {
        return;
    }
    // Texts come back as the user wrote them: cut to 80 bytes of whole characters, letter case
    // unchanged.
    const size_t length = kxui::Utf8Cut::length(value.data(), value.size(), kValueChars);
    char* buffer = static_cast<char*>(field);
    std::memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
}

std::string configDialog::putBOOL(void* field) {
    return putWord("TRUE", "FALSE", field);
}

std::string configDialog::putYES(void* field) {
    return putWord("YES", "NO", field);
}

std::string configDialog::putFLAG(void* field) {
    return putWord("ON", "OFF", field);
}

std::string configDialog::putBYTE(void* field) {
    int32_t value = 0;
    return fieldValue(field, value) ? formatInteger(static_cast<uint32_t>(value) & 0xFFFFu) : "";
}

std::string configDialog::putWORD(void* field) {
    return putBYTE(field);
}

std::string configDialog::putUINT(void* field) {
    int32_t value = 0;
    return fieldValue(field, value) ? formatInteger(value) : "";
}

std::string configDialog::putDOUBLE(void* field) {
    double value = 0.0;
    if (!fieldValue(field, value)) {
        return std::string();
    }
    // The shortest text that reads back as the same double: at most 24 characters, well
    // within the 80 of a value. (Two decimals lost the digits of small values and wrote large
    // ones in more than 80 characters, of which only the first 80 were read back.)
    char text[kValueChars];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

std::string configDialog::putSTRING(void* field) {
    if (field == nullptr) {
        return std::string();
    }
    // A field longer than a value may be is cut as getSTRING cuts.
    const char* text = static_cast<const char*>(field);
    return std::string(text,
                       kxui::Utf8Cut::length(text, strnlen(text, kValueChars + 1), kValueChars));
}
