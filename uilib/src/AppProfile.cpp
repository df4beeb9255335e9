#include "AppProfile.h"

#include <filesystem>
#include <istream>
#include <limits>

#include "ProfileWriter.h"
#include "WarningBox.h"

namespace {

const char* const kDefaultName = ".Ostrel";
const char* const kHead = "[FOLDER LIST]";
const char* const kTail = "[END]";
constexpr int kSectionItems = 16;
const char* const kOpenTitle = "OPENING PROFILE %1";
const char* const kOpenText = "ERROR:: Fail to open profile <state = <%1>";
// Longest line the reader takes; the rest of a longer line is passed over.
constexpr std::streamsize kLineChars = 4095;

// Reads one line without its line feed (and without carriage returns before it). False at
// the end of the input.
bool readLine(std::istream& in, std::string& line) {
    line.resize(kLineChars + 1);
    in.getline(line.data(), kLineChars + 1);
    const std::streamsize count = in.gcount();
    if (in.bad() || (count == 0 && in.fail())) {
        return false;
    }
    // gcount counts the line feed that getline took out.
    std::streamsize length = count;
    if (in.fail() && !in.eof()) {
        in.clear();  // a longer line: keep its first kLineChars characters
        in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    } else if (!in.eof()) {
        --length;
    }
    line.resize(static_cast<size_t>(length));
    while (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

QString stateText(const std::ios& stream) {
    return QString::number(static_cast<int>(stream.rdstate()));
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

AppProfile::AppProfile(const char* fileName, QWidget* parent)
    : m_parent(parent), m_fileName(fileName != nullptr ? fileName : kDefaultName) {}

AppProfile::~AppProfile() {
    if (is_open()) {
        close();
    }
}

std::string AppProfile::nameFor(const char* fileName) const {
    return fileName != nullptr ? std::string(fileName) : m_fileName;
}

bool AppProfile::reopen(const std::string& name, std::ios::openmode mode, const char* title,
                        const char* text) {
    if (is_open()) {
        close();
    }
    clear();
    open(name, mode);
    if (!is_open()) {
        warn(QString(title).arg(fromUtf8(name)), QString(text).arg(stateText(*this)));
        return false;
    }
    return true;
}

void AppProfile::warn(const QString& title, const QString& text) {
    kxui::WarningBox::show(m_parent, title, text);
}

ProfileSection* AppProfile::findSection(const QString& head) {
    for (ProfileSection& section : m_sections) {
        if (section.getSectionHead() == head) {
            return &section;
        }
    }
    return nullptr;
}

bool AppProfile::isSkipSymbols(const char* text) const {
    if (text == nullptr) {
        return true;
    }
    for (; *text != '\0'; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\n') {
            return false;
        }
    }
    return true;
}

bool AppProfile::existProfile(const char* fileName) {
    std::ifstream probe(nameFor(fileName));
    return probe.is_open();
}

bool AppProfile::openProfile(const char* fileName) {
    if (fileName != nullptr) {
        m_fileName = fileName;
    } else if (m_fileName.empty()) {
        m_fileName = kDefaultName;
    }
    if (!existProfile(nullptr)) {
        createProfile(nullptr);
    }
    return reopen(m_fileName, std::ios::in, kOpenTitle, kOpenText);
}

bool AppProfile::readProfile(QList<ProfileSection>& sections, const char* fileName) {
    const std::string name = nameFor(fileName);
    if (!is_open() && !reopen(name, std::ios::in, kOpenTitle, kOpenText)) {
        return false;
    }
    enum { Before, Inside, After } state = Before;
    QList<ProfileSection> read;
    ProfileSection current(kSectionItems, m_parent);
    std::string line;
    bool complete = true;
    while (readLine(*this, line)) {
        if (line.find(kHead) != std::string::npos) {
            if (state != Before) {
                warn(QString("READING PROFILE SECTION %1").arg(kHead),
                     QString("ERROR:: Duplicated Section Head <state = <%1>")
                         .arg(static_cast<int>(state)));
                complete = false;
                break;
            }
            current = ProfileSection(kSectionItems, m_parent);
            current.setSectionHead(kHead);
            current.setSectionRead(0);
            state = Inside;
        } else if (line.find(kTail) != std::string::npos) {
            if (state != Inside) {
                warn(QString("READING PROFILE SECTION %1").arg(kTail),
                     QString("ERROR:: Section Tail Terminated Without Section Head <state = %1, "
                             "head = %2, tail = %3")
                         .arg(static_cast<int>(state))
                         .arg(kHead, kTail));
                complete = false;
                break;
            }
            current.setSectionTail(kTail);
            read.append(current);
            state = After;
        } else if (state == Inside && !isSkipSymbols(line.c_str())) {
            const size_t tab = line.find('\t');
            const std::string key = line.substr(0, tab);
            const std::string value =
                tab == std::string::npos ? std::string() : line.substr(tab + 1);
            current.pushItemToSectionFront(fromUtf8(key), fromUtf8(value));
            current.incSectionRead();
        }
    }
    close();
    if (!complete) {
        return false;
    }
    m_sections = read;
    sections = read;
    return true;
}

bool AppProfile::writeProfile(QList<ProfileSection> sections, const char* fileName) {
    namespace fs = std::filesystem;
    const std::string name = nameFor(fileName);
    const std::string backup = name + ".bak";
    std::error_code error;
    const bool hadFile = fs::exists(name, error);
    if (hadFile && !fs::copy_file(name, backup, fs::copy_options::overwrite_existing, error)) {
        // Without the copy a failed write could not be undone: leave the file alone.
        warn(QString("WRITE PROFILE %1").arg(fromUtf8(backup)),
             QString("ERROR:: Fail to write profile <state = <%1>")
                 .arg(static_cast<int>(std::ios::failbit)));
        return false;
    }
    if (!reopen(name, std::ios::out | std::ios::trunc, kOpenTitle, kOpenText)) {
        return false;
    }
    using Step = kxui::ProfileWriter::Step;
    const Step failed = kxui::ProfileWriter::write(*this, sections);
    // Buffered content may fail only when the file is closed.
    close();
    const bool written = failed == Step::None && !fail();
    if (!written && m_traceLevel > 0) {
        QString step = fromUtf8(name);
        if (failed == Step::Tab) {
            step = "<TAB>";
        } else if (failed == Step::LineFeed) {
            step = "<LF>";
        } else if (failed == Step::Tail) {
            step = "<[END]>";
        }
        warn(QString("WRITE PROFILE %1").arg(step),
             QString("ERROR:: Fail to write profile <state = <%1>").arg(stateText(*this)));
    }
    if (!written) {
        fs::remove(name, error);
        if (hadFile) {
            fs::rename(backup, name, error);
        }
    }
    return written;
}

bool AppProfile::createProfile(const char* fileName) {
    const std::string name = nameFor(fileName);
    ProfileSection section(kSectionItems, m_parent);
    section.setSectionHead(kHead);
    section.setSectionTail(kTail);
    m_sections.append(section);
    if (!reopen(name, std::ios::out | std::ios::trunc, "CREATE PROFILE %1",
                "ERROR:: Fail to create profile <state = <%1>")) {
        return false;
    }
    using Step = kxui::ProfileWriter::Step;
    const Step failed = kxui::ProfileWriter::write(*this, m_sections);
    const QString state = stateText(*this);
    close();
    QString text;
    switch (failed) {
        case Step::None:
            if (!fail()) {
                return true;
            }
            text = "ERROR:: Fail to write profile <state = <%1>";
            break;
        case Step::Head:
            text = "ERROR:: Fail to write profile section head <state = <%1>";
            break;
        case Step::Tail:
            text = "ERROR:: Fail to write profile section tail <state = <%1>";
            break;
        default:
            text = "ERROR:: Fail to write profile item <state = <%1>";
            break;
    }
    warn(QString("WRITE PROFILE <%1>").arg(fromUtf8(name)),
         text.arg(failed == Step::None ? stateText(*this) : state));
    return false;
}

bool AppProfile::closeProfile() {
    const bool written = writeProfile(m_sections, nullptr);
    if (is_open()) {
        close();
    }
    return written;
}

bool AppProfile::getSectionItems(QStringList& list, const char* head, const char* fileName) {
    (void)fileName;  // the sections come from the last read
    const ProfileSection* section =
        head != nullptr ? findSection(QString::fromUtf8(head)) : nullptr;
    if (section == nullptr) {
        if (is_open()) {
            close();
        }
        return false;
    }
    for (const auto& item : section->items()) {
        list.prepend(item.first);
    }
    return true;
}

bool AppProfile::insertSectionItem(const char* head, const char* key, const char* value) {
    if (head == nullptr || key == nullptr) {
        return false;
    }
    ProfileSection* section = findSection(QString::fromUtf8(head));
    const QString itemKey = QString::fromUtf8(key);
    if (section == nullptr) {
        return false;
    }
    for (const auto& item : section->items()) {
        if (item.first == itemKey) {
            return false;
        }
    }
    while (section->getItemSize() > 0 && section->getItemSize() >= section->getMaxItems()) {
        section->popItemFromSectionFront();
    }
    section->pushItemToSectionBack(itemKey, QString::fromUtf8(value != nullptr ? value : ""));
    return true;
}
