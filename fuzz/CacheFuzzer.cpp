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
        for (const browser::RecordRow& row : browser::ReadZoneCacheRows(file, section, origin)) {
            if (row.stateIndex < 0 || row.stateIndex > browser::kOldestAgeClass)
                std::abort();
        }
        browser::ReadSubnetCacheRows(file, section, origin);
    }
    return 0;
}
