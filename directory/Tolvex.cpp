#include "directory/Tolvex.h"

#include <array>
#include <dlfcn.h>
#include <system_error>

namespace directory {
namespace {

constexpr char kValueBufferFill = 85; // the result buffer is handed over filled with 'U'

std::unique_ptr<TolvexLibrary>& ProgramBinding() {
    static std::unique_ptr<TolvexLibrary> binding;
    return binding;
}

// The folder as a path without a trailing separator.
std::filesystem::path WithoutTrailingSeparator(std::filesystem::path folder) {
    if (!folder.has_filename() && folder.has_parent_path() && folder != folder.root_path())
        folder = folder.parent_path();
    return folder;
}

std::string AsFolderText(const std::filesystem::path& folder) {
    std::string text = folder.string();
    if (text.empty() || text.back() != '/')
        text += '/';
    return text;
}

template <typename Entry> bool Bind(void* handle, const char* name, Entry& entry) {
    entry = reinterpret_cast<Entry>(::dlsym(handle, name));
    return entry != nullptr;
}

} // namespace

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    auto program = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : program.parent_path();
}

std::unique_ptr<TolvexLibrary> TolvexLibrary::Load(const std::filesystem::path& programFolder) {
    std::filesystem::path folder = WithoutTrailingSeparator(programFolder);
    std::error_code ec;
    if (!std::filesystem::exists(folder / kTolvexFileName, ec))
        folder = folder.parent_path() / "libs";

    std::unique_ptr<TolvexLibrary> library(new TolvexLibrary);
    library->folder_ = AsFolderText(folder);
    const std::string file = library->folder_ + kTolvexFileName;
    library->handle_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library->handle_ == nullptr)
        return nullptr;

    // A library that lacks an entry its version promises is not one we can use:
    // refuse it here rather than call through a missing entry later.
    void* h = library->handle_;
    auto& l = *library;
    bool complete = Bind(h, "version", l.version_fn_) && Bind(h, "subversion", l.subversion_) &&
                    Bind(h, "get_icons_image", l.getIconsImage_) && Bind(h, "get_icons", l.getIcons_) &&
                    Bind(h, "get_icon_name", l.getIconName_) && Bind(h, "get_nr_icon", l.getNrIcon_) &&
                    Bind(h, "set_path", l.setPath_);
    if (!complete)
        return nullptr;
    l.version_ = l.version_fn_();
    if (l.version_ > 1 && !(Bind(h, "set_value", l.setValue_) && Bind(h, "get_value", l.getValue_)))
        return nullptr;
    if (l.version_ > 2 && !(Bind(h, "get_image", l.getImage_) && Bind(h, "free_image", l.freeImage_)))
        return nullptr;

    l.setPath_(l.folder_.c_str());
    return library;
}

TolvexLibrary::~TolvexLibrary() {
    if (handle_ != nullptr)
        ::dlclose(handle_);
}

int TolvexLibrary::GetIconsImage(uint32_t format) const {
    return getIconsImage_(format);
}

const TolvexIconStrip* TolvexLibrary::GetIcons() const {
    return getIcons_();
}

int TolvexLibrary::GetIconNumber(const std::string& className) const {
    return getNrIcon_(className.c_str());
}

std::string TolvexLibrary::GetSettingValue(const std::string& section, const std::string& key,
                                           const std::string& defaultValue) const {
    if (getValue_ == nullptr)
        return defaultValue;
    std::array<char, TOLVEX_VALUE_BUFFER> result;
    result.fill(kValueBufferFill);
    if (getValue_(section.c_str(), key.c_str(), defaultValue.c_str(), result.data()) < 0)
        return defaultValue;
    result.back() = '\0'; // never read past the buffer, whatever the library wrote
    return std::string(result.data());
}

bool TolvexLibrary::SetSettingValue(const std::string& section, const std::string& key,
                                    const std::string& value) const {
    if (setValue_ == nullptr)
        return false;
    return setValue_(section.c_str(), key.c_str(), value.c_str()) == TOLVEX_OK;
}

bool LoadHelperDll() {
    return LoadHelperDll(ProgramFolder());
}

bool LoadHelperDll(const std::filesystem::path& programFolder) {
    auto& binding = ProgramBinding();
    binding.reset();
    binding = TolvexLibrary::Load(programFolder);
    return binding != nullptr;
}

void FreeHelperDll() {
    ProgramBinding().reset();
}

const TolvexLibrary* HelperDll() {
    return ProgramBinding().get();
}

int HelperDllVersion() {
    const auto* library = HelperDll();
    return library ? library->Version() : 0;
}

int GetIconsImage(uint32_t format) {
    const auto* library = HelperDll();
    return library ? library->GetIconsImage(format) : -1;
}

const TolvexIconStrip* GetIcons() {
    const auto* library = HelperDll();
    return library ? library->GetIcons() : nullptr;
}

int GetIconNumber(const std::string& className) {
    const auto* library = HelperDll();
    return library ? library->GetIconNumber(className) : -1;
}

std::string GetSettingValue(const std::string& section, const std::string& key,
                            const std::string& defaultValue) {
    const auto* library = HelperDll();
    return library ? library->GetSettingValue(section, key, defaultValue) : defaultValue;
}

bool SetSettingValue(const std::string& section, const std::string& key, const std::string& value) {
    const auto* library = HelperDll();
    return library && library->SetSettingValue(section, key, value);
}

} // namespace directory
