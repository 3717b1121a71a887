// Fuzz harness: the three readers of a tree's local cache (the locator lists of "dnsdhcp.ini", the
// zone rows of "zones.ini" and the subnet rows of "subnets.ini") on every section of arbitrary files.
#include "browser/collection/CacheFiles.h"
#include "fuzz/InputFile.h"
#include "platform/ini/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::InputFile input("zones.ini");
    input.write(data, size);
    const ini::IniFile file(input.path());
    browser::CachedRowOrigin origin;
    origin.tree = "ACME";
    origin.now = 46000.5; // a fixed moment in 2025, so that runs repeat
    for (const std::string& section : file.ReadSections()) {
        browser::ReadCacheList(file, section);
        const std::vector<browser::RecordRow> zone = browser::ReadZoneCacheRows(file, section, origin);
        for (const browser::RecordRow& row : zone) {
            if (row.stateIndex < 0 || row.stateIndex > browser::kOldestAgeClass)
                std::abort();
        }
        const std::vector<browser::RecordRow> subnet = browser::ReadSubnetCacheRows(file, section, origin);
        // Read again into the storage of the rows read, of the other kind first: the same rows.
        browser::SpareRows spare;
        spare.Add(std::vector<browser::RecordRow>(subnet));
        spare.Add(std::vector<browser::RecordRow>(zone));
        std::vector<browser::RecordRow> again;
        browser::AppendZoneCacheRows(file, section, origin, again, nullptr, &spare);
        browser::AppendSubnetCacheRows(file, section, origin, again, nullptr, &spare);
        if (again.size() != zone.size() + subnet.size() ||
            std::vector<browser::RecordRow>(
                again.begin(), again.begin() + static_cast<std::ptrdiff_t>(zone.size())) != zone ||
            std::vector<browser::RecordRow>(again.begin() + static_cast<std::ptrdiff_t>(zone.size()),
                                            again.end()) != subnet)
            std::abort();
    }
    return 0;
}
