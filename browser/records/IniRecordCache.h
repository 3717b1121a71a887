#pragma once

// The record decoding's cache lines written into an open cache INI file.

#include "browser/records/RecordCache.h"
#include "platform/ini/IniFile.h"

namespace browser {

// Writes the record decoding's cache lines into an open cache INI file ("zones.ini").
class IniRecordCache : public RecordCacheWriter {
public:
    explicit IniRecordCache(ini::IniFile& file) : file_(file) {}

    void WriteCacheLine(const std::string& section, const std::string& key,
                        const std::string& value) override {
        file_.WriteString(section, key, value);
    }

private:
    ini::IniFile& file_;
};

} // namespace browser
