// A settings folder of the presets for one test: a temporary folder made the presets' settings
// folder, and the metering and preference records set back to their built-in values, while it
// lives.
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "PresetFolders.h"
#include "meteringDialog.h"
#include "preferenceDialog.h"

namespace uitest {

class PresetFolderScope {
public:
    PresetFolderScope() : m_previous(PresetFolders::configFolder()) {
        PresetFolders::setConfigFolder(config());
        meteringDialog::s_meData = MeteringRecord();
        preferenceDialog::s_peData = PreferenceRecord();
    }
    ~PresetFolderScope() {
        PresetFolders::setConfigFolder(m_previous);
        meteringDialog::s_meData = MeteringRecord();
        preferenceDialog::s_peData = PreferenceRecord();
    }
    PresetFolderScope(const PresetFolderScope&) = delete;
    PresetFolderScope& operator=(const PresetFolderScope&) = delete;

    std::string root() const { return m_dir.path().toStdString(); }
    std::string config() const { return root() + "/Config"; }
    // Writes text as the file relative (to the settings folder), making its folder.
    std::string write(const std::string& relative, const std::string& text) const {
        const std::string file = config() + "/" + relative;
        QDir().mkpath(QString::fromStdString(file.substr(0, file.rfind('/'))));
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }

private:
    QTemporaryDir m_dir;
    std::string m_previous;
};

}  // namespace uitest
