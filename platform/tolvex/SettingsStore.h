#pragma once

// Values by section and key in one INI file, read afresh for every look-up and
// replaced whole (temporary file, then rename) for every change, so that a value
// is on disk when set_value returns and hand edits are seen at once.

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

namespace tolvex {

class SettingsStore {
public:
    static constexpr const char* kFileName = "Tolvex.ini";

    enum class Result { Ok, NoFolder, BadText, WriteFailed };

    void SetFolder(const std::filesystem::path& folder);
    // The stored value, none when the file, the section or the key is missing.
    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    Result Set(const std::string& section, const std::string& key, const std::string& value);

    // Whether a text can be kept as a section name, key or value of the file.
    static bool IsStorableSection(const std::string& section);
    static bool IsStorableKey(const std::string& key);
    static bool IsStorableValue(const std::string& value);

private:
    std::filesystem::path FilePath() const;

    mutable std::mutex mutex_;
    std::filesystem::path folder_;
};

} // namespace tolvex
