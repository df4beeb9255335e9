// A profile file: short named lists, such as recently used folders, in a plain text file.
//
//   [FOLDER LIST]
//   key<tab>value        (one item a line, newest first)
//   [END]
//
// The profile reads the file into its sections, writes them back keeping a ".bak" copy of the
// previous file (restored when the write fails), creates a new file and answers queries for
// one section. File failures are shown in warning boxes over the parent widget. Operations that
// take a file name accept null, meaning the stored name. File names are UTF-8.
#pragma once

#include <QList>
#include <QStringList>
#include <fstream>
#include <string>

#include "ProfileSection.h"
#include "kxUiExport.h"

class QWidget;

class KXUI_API AppProfile : public std::basic_fstream<char> {
public:
    // Without a name the profile is ".Ostrel" in the current folder.
    explicit AppProfile(const char* fileName = nullptr, QWidget* parent = nullptr);
    ~AppProfile() override;

    // Makes one empty "[FOLDER LIST]" section and writes it to a new file; the profile's
    // sections are then that one section (none of another file's are carried into it).
    virtual bool createProfile(const char* fileName = nullptr);
    // Stores the name (or ".Ostrel" when there is none yet), creates the file when it does
    // not exist and opens it for reading. Sections of another file are dropped.
    virtual bool openProfile(const char* fileName = nullptr);
    // Writes the sections back to the stored file and closes the stream. Only sections read
    // from or created as that file are written: when there are none (nothing read yet, another
    // file read, or the file did not read whole) the file is left as it is (true).
    virtual bool closeProfile();
    // Reads the file's section into the profile's sections (and into sections), replacing
    // rather than appending to them, so reading twice does not double them. A section without
    // its "[END]" line is a reading warning too. On a reading warning the sections in memory
    // are kept, the result is false, and that file is no longer written by closeProfile.
    virtual bool readProfile(QList<ProfileSection>& sections, const char* fileName = nullptr);
    // Rewrites the file with sections, items last to first so that reading it back gives the
    // same order. The new content goes to a temporary file renamed over the file; a ".bak"
    // copy of the previous file is kept and, on failure, put back (a warning says when it
    // cannot be). A linked file is written, and its copy made, where the link points.
    virtual bool writeProfile(QList<ProfileSection> sections, const char* fileName = nullptr);
    // True when the file can be opened for reading.
    virtual bool existProfile(const char* fileName = nullptr);
    // Puts the keys of the section with that head into list, newest first (file order).
    virtual bool getSectionItems(QStringList& list, const char* head,
                                 const char* fileName = nullptr);
    // Adds (key, value) as the newest item of the section with that head, dropping the oldest
    // items of a full section; a key already present changes nothing (false).
    virtual bool insertSectionItem(const char* head, const char* key, const char* value);

    QList<ProfileSection>* getProfileSections() { return &m_sections; }
    // Above 0, failures of single write steps are shown too.
    void setTraceLevel(int level) { m_traceLevel = level; }
    bool isNullRegisterFilename() const { return m_fileName.empty(); }
    // True for a null or empty text and for one made only of blanks, tabs and line feeds.
    bool isSkipSymbols(const char* text) const;

private:
    std::string nameFor(const char* fileName) const;
    // Whether the sections in memory were read from or created as the file name reaches.
    bool holdsSectionsOf(const std::string& name) const;
    void takeSections(const QList<ProfileSection>& sections, const std::string& name);
    // After name failed to read: its sections in memory are no longer written back to it.
    void forgetSectionsOf(const std::string& name);
    ProfileSection* findSection(const QString& head);
    // Opens the stream on name (closing it first); a failure is shown with title and text,
    // whose %1 become the name and the stream state.
    bool reopen(const std::string& name, std::ios::openmode mode, const char* title,
                const char* text);
    void warn(const QString& title, const QString& text);

    QWidget* m_parent;
    int m_traceLevel = 0;
    QList<ProfileSection> m_sections;
    std::string m_fileName;
    // The file the sections in memory were read from or created as (resolved); empty when
    // they belong to none.
    std::string m_sectionsFile;
};
