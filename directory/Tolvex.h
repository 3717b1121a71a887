#pragma once

// Binding of the icon and settings library Tolvex (libTolvex.so), loaded at run
// time from the program's folder, else from "libs" beside that folder.

#include "platform/tolvex/tolvex.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace directory {

// What the program shows before it stops when the library cannot be loaded.
inline constexpr const char* kTolvexMissingMessage = "Error: can't find Tolvex.dll";

// The library's file name on this platform.
inline constexpr const char* kTolvexFileName = "libTolvex.so";

// The folder of the running program (of /proc/self/exe).
std::filesystem::path ProgramFolder();

// One loaded copy of the library with its entries bound by name. Unloads it when
// destroyed.
class TolvexLibrary {
public:
    // Loads the library from programFolder, or from programFolder's parent + "libs"
    // when the program folder has no such file, binds its entries as far as its
    // version has them and hands it the folder it was loaded from. Null when the file
    // cannot be found or loaded, or when an entry its version promises is missing.
    static std::unique_ptr<TolvexLibrary> Load(const std::filesystem::path& programFolder);

    ~TolvexLibrary();
    TolvexLibrary(const TolvexLibrary&) = delete;
    TolvexLibrary& operator=(const TolvexLibrary&) = delete;

    // The folder the library was loaded from, ending with "/".
    const std::string& Folder() const { return folder_; }

    // HelperDllVersion: above 1 the settings store exists, above 2 the image entries.
    int Version() const { return version_; }
    bool HasSettingsStore() const { return version_ > 1; }

    // GetIconsImage: 0 when the icon strip is ready in the format asked for, else the
    // library's error code.
    int GetIconsImage(uint32_t format = TOLVEX_STRIP_RGBA32) const;
    // GetIcons: the strip prepared by GetIconsImage, null before.
    const TolvexIconStrip* GetIcons() const;
    // GetIconNumber: the icon number of a class, negative when it has none.
    int GetIconNumber(const std::string& className) const;
    // GetSettingValue: the stored value or the default; the default as well when the
    // library has no settings store.
    std::string GetSettingValue(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const;
    // SetSettingValue: whether the value was stored (false without a settings store).
    bool SetSettingValue(const std::string& section, const std::string& key, const std::string& value) const;

private:
    TolvexLibrary() = default;

    void* handle_ = nullptr;
    std::string folder_;
    int version_ = 0;
    tolvex_version_fn version_fn_ = nullptr;
    tolvex_subversion_fn subversion_ = nullptr;
    tolvex_get_icons_image_fn getIconsImage_ = nullptr;
    tolvex_get_icons_fn getIcons_ = nullptr;
    tolvex_get_icon_name_fn getIconName_ = nullptr;
    tolvex_get_nr_icon_fn getNrIcon_ = nullptr;
    tolvex_set_path_fn setPath_ = nullptr;
    tolvex_set_value_fn setValue_ = nullptr;
    tolvex_get_value_fn getValue_ = nullptr;
    tolvex_get_image_fn getImage_ = nullptr;
    tolvex_free_image_fn freeImage_ = nullptr;
};

// The program's one binding. Load and free it on the window's thread before and
// after any other thread asks it; between those, the operations below may be called
// from any thread. Without a loaded library they answer as the library would when
// it has no such entry: version 0, strip error -1, no strip, icon number -1, the
// default value, nothing stored.

// LoadHelperDll: loads the program's binding (from ProgramFolder(), or the given
// folder); false when it cannot be loaded (show kTolvexMissingMessage and stop).
bool LoadHelperDll();
bool LoadHelperDll(const std::filesystem::path& programFolder);
// FreeHelperDll: unloads the program's binding.
void FreeHelperDll();
// The program's binding, null when not loaded.
const TolvexLibrary* HelperDll();

int HelperDllVersion();
int GetIconsImage(uint32_t format = TOLVEX_STRIP_RGBA32);
const TolvexIconStrip* GetIcons();
int GetIconNumber(const std::string& className);
std::string GetSettingValue(const std::string& section, const std::string& key,
                            const std::string& defaultValue);
bool SetSettingValue(const std::string& section, const std::string& key, const std::string& value);

} // namespace directory
