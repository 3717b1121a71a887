#pragma once

#include <string>

namespace browser {

// What start-up, shutdown and the settings dialog need of the helper library "Tolvex".
// The program implements it over the library's binding; tests replace it.
class HelperLibrary {
public:
    virtual ~HelperLibrary() = default;

    // Loads the library for a program in programFolder; false when it cannot be found.
    virtual bool Load(const std::string& programFolder) = 0;
    virtual bool IsLoaded() const = 0;
    virtual void Free() = 0;

    virtual int Version() = 0;
    // Icon number of a class, negative when the class has no icon.
    virtual int GetIconNumber(const std::string& className) = 0;
    // The settings store (only when Version() > 1).
    virtual std::string GetSettingValue(const std::string& section, const std::string& key,
                                        const std::string& defaultValue) = 0;
    virtual void SetSettingValue(const std::string& section, const std::string& key,
                                 const std::string& value) = 0;
};

} // namespace browser
