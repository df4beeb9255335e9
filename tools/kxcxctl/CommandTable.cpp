#include "CommandTable.h"

#include <utility>

#include "FlashCommand.h"
#include "FpgaCommand.h"
#include "GammaCommand.h"
#include "GrabCommand.h"
#include "IoctlCommand.h"
#include "ListCommand.h"
#include "McuCommand.h"
#include "RegCommand.h"
#include "RegFileCommand.h"
#include "SimCommand.h"
#include "StreamCommand.h"
#include "UdevRulesCommand.h"
#include "VersionsCommand.h"

CommandTable::CommandTable(std::vector<CommandEntry> entries) : entries_(std::move(entries)) {}

const CommandTable& CommandTable::commands() {
    static const CommandTable table({
        ListCommand::entry(),
        RegCommand::entry(),
        RegFileCommand::entry(),
        IoctlCommand::entry(),
        VersionsCommand::entry(),
        GrabCommand::entry(),
        StreamCommand::entry(),
        FpgaCommand::entry(),
        FlashCommand::entry(),
        McuCommand::mcuEntry(),
        McuCommand::eepromEntry(),
        GammaCommand::entry(),
        SimCommand::entry(),
        UdevRulesCommand::entry(),
    });
    return table;
}

const CommandEntry* CommandTable::find(std::string_view name) const {
    for (const CommandEntry& entry : entries_) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

void CommandTable::writeUsage(std::ostream& out) const {
    for (const CommandEntry& entry : entries_) {
        for (std::string_view line : entry.usage) {
            out << "  " << line << '\n';
        }
    }
}
