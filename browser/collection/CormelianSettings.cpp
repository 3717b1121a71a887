#include "browser/collection/CormelianSettings.h"

#include "browser/collection/TreeDirectory.h"
#include "browser/collection/TreeObj.h"
#include "platform/ini/IniFile.h"

#include <filesystem>

namespace browser {

namespace {

constexpr int kLookupHistorySize = 10;

// Keys written with their defaults are a convenience for the user who edits the file; a data
// directory that cannot be written must not stop the program, which goes on with the defaults.
void FlushDefaults(ini::IniFile& file) {
    try {
        file.UpdateFile();
    } catch (const ini::EIniFileError&) {
    }
}

void WriteMissingDefaults(ini::IniFile& file, const std::vector<std::string>& selectedTrees) {
    if (!file.SectionExists("SYSTEM")) {
        file.WriteBool("SYSTEM", "Threads", true);
        file.WriteBool("SYSTEM", "nowarn", false);
    }
    if (!file.ValueExists("SYSTEM", "Datesep"))
        file.WriteString("SYSTEM", "Datesep", "-");
    if (!file.ValueExists("SYSTEM", "Timesep"))
        file.WriteString("SYSTEM", "Timesep", ":");
    if (!file.ValueExists("SYSTEM", "DateTime"))
        file.WriteString("SYSTEM", "DateTime", kDefaultDateTimeFormat);
    for (const auto& tree : selectedTrees) {
        if (!file.ValueExists("MASTER", tree))
            file.WriteBool("MASTER", tree, true);
        if (!file.ValueExists("TREES", tree))
            file.WriteString("TREES", tree, "[root]");
    }
}

char FirstCharacterOr(const std::string& text, char current) {
    return text.empty() ? current : text.front();
}

void ReadColumns(const ini::IniFile& file, const std::string& section, std::vector<PrintColumn>& columns) {
    if (!file.SectionExists(section))
        return;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        columns[i].title = file.ReadString(section, "t" + number, columns[i].title);
        columns[i].position = file.ReadInteger(section, "k" + number, columns[i].position);
    }
}

void ReadLookupHistory(const ini::IniFile& file, CormelianSettings& settings) {
    settings.lookupQueries.clear();
    settings.lookupServers.clear();
    if (!file.SectionExists("LOOKUP"))
        return;
    for (int i = 1; i <= kLookupHistorySize; ++i) {
        const std::string server = file.ReadString("LOOKUP", "server" + std::to_string(i), "");
        if (!server.empty())
            settings.lookupServers.push_back(server);
    }
    for (int i = 1; i <= kLookupHistorySize; ++i) {
        const std::string query = file.ReadString("LOOKUP", std::to_string(i), "");
        if (!query.empty())
            settings.lookupQueries.push_back(query);
    }
}

} // namespace

bool ReadSettings(const std::string& iniPath, const std::vector<std::string>& selectedTrees,
                  const TreeList& trees, TreeDirectory& directory, CormelianSettings& settings) {
    std::error_code error;
    if (!std::filesystem::exists(iniPath, error))
        return false;
    ini::IniFile file(iniPath);

    WriteMissingDefaults(file, selectedTrees);
    FlushDefaults(file);
    for (const auto& tree : selectedTrees) {
        const treeobj* record = trees.Find(tree);
        if (record == nullptr)
            continue;
        directory.SetContextConfidence(record->context, file.ReadBool("MASTER", tree, true) ? 2 : 0);
    }

    settings.nowarn = file.ReadBool("SYSTEM", "nowarn", false);
    settings.threads = file.ReadBool("SYSTEM", "threads", true);
    settings.dateSeparator =
        FirstCharacterOr(file.ReadString("SYSTEM", "datesep", ""), settings.dateSeparator);
    settings.timeSeparator =
        FirstCharacterOr(file.ReadString("SYSTEM", "timesep", ""), settings.timeSeparator);
    settings.dateTimeFormat = file.ReadString("SYSTEM", "DateTime", kDefaultDateTimeFormat);
    if (settings.dateTimeFormat.empty())
        settings.dateTimeFormat = kDefaultDateTimeFormat;

    if (file.SectionExists("PRT")) {
        settings.printDy = file.ReadInteger("PRT", "dy", settings.printDy);
        settings.printYtop = file.ReadInteger("PRT", "ytop", settings.printYtop);
        settings.printPh = file.ReadInteger("PRT", "ph", settings.printPh);
        settings.printPh2 = file.ReadInteger("PRT", "ph2", settings.printPh2);
    }
    ReadColumns(file, "PRTDNS", settings.dnsColumns);
    ReadColumns(file, "PRTREV", settings.reverseColumns);
    ReadColumns(file, "PRTDHCP", settings.dhcpColumns);

    ReadLookupHistory(file, settings);
    return true;
}

rtl::LocaleFacts DateFactsOf(const CormelianSettings& settings, const rtl::LocaleFacts& system) {
    rtl::LocaleFacts facts = system;
    facts.ShortDateFormat = settings.dateTimeFormat;
    facts.DateSeparator = settings.dateSeparator;
    facts.TimeSeparator = settings.timeSeparator;
    return facts;
}

void ReadTreeFilterSwitches(const std::string& iniPath, CormelianSettings& settings) {
    const ini::IniFile file(iniPath);
    settings.noTrees = file.ReadBool("SYSTEM", "noTrees", false);
    settings.edit = file.ReadBool("SYSTEM", "edit", false);
}

void ReadTreeSetupSwitches(const std::string& iniPath, CormelianSettings& settings) {
    const ini::IniFile file(iniPath);
    settings.showAll = file.ReadBool("SYSTEM", "showall", true);
    settings.cache = file.ReadBool("SYSTEM", "cache", true);
    for (std::size_t i = 0; i < settings.ageThresholds.size(); ++i)
        settings.ageThresholds[i] =
            file.ReadInteger("STATUS", std::to_string(i + 1), settings.ageThresholds[i]);
}

void WriteLookupHistory(const std::string& iniPath, const std::vector<std::string>& queries,
                        const std::vector<std::string>& servers) {
    ini::IniFile file(iniPath);
    file.EraseSection("LOOKUP");
    for (std::size_t i = 0; i < queries.size(); ++i)
        file.WriteString("LOOKUP", std::to_string(i + 1), queries[i]);
    for (std::size_t i = 0; i < servers.size(); ++i)
        file.WriteString("LOOKUP", "server" + std::to_string(i + 1), servers[i]);
    file.UpdateFile();
}

} // namespace browser
