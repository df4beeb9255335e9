#include "AppProfile.h"

#include <cstdio>
#include <filesystem>
#include <istream>
#include <limits>
#include <ostream>
#include <streambuf>

#include "ProfileWriter.h"
#include "ReplacingFileWriter.h"
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

// The file a name reaches, for telling whether two names are one file: relative names and
// links are resolved as far as the file system allows.
std::string fileIdentity(const std::string& name) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::weakly_canonical(name, error);
    return error ? name : path.string();
}

QString stateText(const std::ios& stream) {
    return QString::number(static_cast<int>(stream.rdstate()));
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Unbuffered stream output into a C file (which buffers it), so that the profile writer can
// fill a replacing file.
class FileOutput : public std::streambuf {
public:
    explicit FileOutput(FILE* file) : m_file(file) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        return std::fputc(traits_type::to_char_type(c), m_file) == EOF ? traits_type::eof() : c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        return static_cast<std::streamsize>(
            std::fwrite(text, 1, static_cast<size_t>(count), m_file));
    }

private:
    FILE* m_file;
};

// The stream state shown for a file that could not be opened.
const int kOpenFailedState = static_cast<int>(std::ios::failbit);

using Step = kxui::ProfileWriter::Step;

struct Written {
    bool opened = false;   // the new content could be started
    bool written = false;  // and it replaced the file
    Step failedStep = Step::None;
    int state = kOpenFailedState;  // of the stream that wrote it
};

// Writes sections as the new content of the file name, which is replaced only when all of
// them reached the disk.
Written writeSections(const std::string& name, const QList<ProfileSection>& sections) {
    Written result;
    kxui::ReplacingFileWriter writer(name);
    if (writer.stream() == nullptr) {
        return result;
    }
    result.opened = true;
    FileOutput output(writer.stream());
    std::ostream out(&output);
    result.failedStep = kxui::ProfileWriter::write(out, sections);
    result.state = static_cast<int>(out.rdstate());
    if (result.failedStep != Step::None) {
        return result;
    }
    // Buffered content may fail only when it reaches the file.
    result.written = writer.commit();
    if (!result.written) {
        result.state |= static_cast<int>(std::ios::failbit);
    }
    return result;
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

bool AppProfile::holdsSectionsOf(const std::string& name) const {
    return !m_sectionsFile.empty() && m_sectionsFile == fileIdentity(name);
}

void AppProfile::takeSections(const QList<ProfileSection>& sections, const std::string& name) {
    m_sections = sections;
    m_sectionsFile = fileIdentity(name);
}

bool AppProfile::openProfile(const char* fileName) {
    if (fileName != nullptr) {
        m_fileName = fileName;
    } else if (m_fileName.empty()) {
        m_fileName = kDefaultName;
    }
    if (!holdsSectionsOf(m_fileName)) {
        // Another file's sections: none of them may be written into this one.
        m_sections.clear();
        m_sectionsFile.clear();
    }
    if (!existProfile(nullptr)) {
        createProfile(nullptr);
    }
    return reopen(m_fileName, std::ios::in, kOpenTitle, kOpenText);
}

bool AppProfile::readProfile(QList<ProfileSection>& sections, const char* fileName) {
    const std::string name = nameFor(fileName);
    // Opened again even when the stream is open: it may be open on another file.
    if (!reopen(name, std::ios::in, kOpenTitle, kOpenText)) {
        forgetSectionsOf(name);
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
    if (complete && state == Inside) {
        warn(QString("READING PROFILE SECTION %1").arg(kTail),
             QString("ERROR:: Section Head Without Section Tail <state = <%1>")
                 .arg(static_cast<int>(state)));
        complete = false;
    }
    close();
    if (!complete) {
        forgetSectionsOf(name);
        return false;
    }
    takeSections(read, name);
    sections = read;
    return true;
}

void AppProfile::forgetSectionsOf(const std::string& name) {
    // The sections stay in memory, but a file that did not read whole is not rewritten.
    if (holdsSectionsOf(name)) {
        m_sectionsFile.clear();
    }
}

bool AppProfile::writeProfile(QList<ProfileSection> sections, const char* fileName) {
    namespace fs = std::filesystem;
    const std::string name = nameFor(fileName);
    // A linked profile keeps its link: the copy and the new content go where it points.
    const std::string target = kxui::ReplacingFileWriter::resolve(name);
    const std::string backup = target + ".bak";
    std::error_code error;
    const bool hadFile = fs::exists(target, error);
    if (hadFile && !fs::copy_file(target, backup, fs::copy_options::overwrite_existing, error)) {
        // Without the copy a failed write could not be undone: leave the file alone.
        warn(QString("WRITE PROFILE %1").arg(fromUtf8(backup)),
             QString("ERROR:: Fail to write profile <state = <%1>").arg(kOpenFailedState));
        return false;
    }
    if (is_open()) {
        close();
    }
    const Written result = writeSections(target, sections);
    if (!result.opened) {
        warn(QString(kOpenTitle).arg(fromUtf8(name)), QString(kOpenText).arg(kOpenFailedState));
        return false;
    }
    if (!result.written && m_traceLevel > 0) {
        QString step = fromUtf8(name);
        if (result.failedStep == Step::Tab) {
            step = "<TAB>";
        } else if (result.failedStep == Step::LineFeed) {
            step = "<LF>";
        } else if (result.failedStep == Step::Tail) {
            step = "<[END]>";
        }
        warn(QString("WRITE PROFILE %1").arg(step),
             QString("ERROR:: Fail to write profile <state = <%1>").arg(result.state));
    }
    if (!result.written && hadFile) {
        // The new content never took the file's place; the copy still goes back as the file,
        // so a failed rewrite always ends with the profile as it was copied.
        fs::rename(backup, target, error);
        if (error) {
            warn(QString("RESTORE PROFILE %1").arg(fromUtf8(name)),
                 QString("ERROR:: Fail to restore profile from %1 <error = <%2>")
                     .arg(fromUtf8(backup))
                     .arg(error.value()));
        }
    }
    return result.written;
}

bool AppProfile::createProfile(const char* fileName) {
    const std::string name = nameFor(fileName);
    ProfileSection section(kSectionItems, m_parent);
    section.setSectionHead(kHead);
    section.setSectionTail(kTail);
    const QList<ProfileSection> created{section};
    if (is_open()) {
        close();
    }
    const Written result = writeSections(name, created);
    if (result.written) {
        takeSections(created, name);
        return true;
    }
    if (!result.opened) {
        warn(QString("CREATE PROFILE %1").arg(fromUtf8(name)),
             QString("ERROR:: Fail to create profile <state = <%1>").arg(kOpenFailedState));
        return false;
    }
    QString text;
    switch (result.failedStep) {
        case Step::None:
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
    warn(QString("WRITE PROFILE <%1>").arg(fromUtf8(name)), text.arg(result.state));
    return false;
}

bool AppProfile::closeProfile() {
    // Only sections read from or created as this file go back to it: not those of another
    // file, and none over a file that did not read whole.
    const bool written = !holdsSectionsOf(m_fileName) || writeProfile(m_sections, nullptr);
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
