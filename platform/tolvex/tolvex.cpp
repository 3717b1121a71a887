// The exported entries of the library.

#include "platform/tolvex/tolvex.h"

#include "platform/tolvex/IconCatalogue.h"
#include "platform/tolvex/SettingsStore.h"

#include <atomic>
#include <cstring>
#include <string>

namespace {

tolvex::SettingsStore& Store() {
    static tolvex::SettingsStore store;
    return store;
}

std::atomic<bool> stripPrepared{false};

// Copies text into a TOLVEX_VALUE_BUFFER buffer, cutting a longer text before a
// UTF-8 continuation byte so that no character is split.
void CopyToValueBuffer(const std::string& text, char* result) {
    size_t length = text.size();
    if (length > TOLVEX_VALUE_BUFFER - 1) {
        length = TOLVEX_VALUE_BUFFER - 1;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(result, text.data(), length);
    result[length] = '\0';
}

} // namespace

extern "C" {

int32_t version(void) {
    return TOLVEX_VERSION;
}

int32_t subversion(void) {
    return TOLVEX_SUBVERSION;
}

int32_t get_icons_image(uint32_t format) {
    if (format != TOLVEX_STRIP_RGBA32)
        return TOLVEX_ERROR_FORMAT;
    tolvex::IconCatalogue::Instance();
    stripPrepared = true;
    return TOLVEX_OK;
}

const TolvexIconStrip* get_icons(void) {
    if (!stripPrepared)
        return nullptr;
    return &tolvex::IconCatalogue::Instance().Strip();
}

const char* get_icon_name(int32_t number) {
    return tolvex::IconCatalogue::Instance().NameOf(number);
}

int32_t get_nr_icon(const char* class_name) {
    if (class_name == nullptr)
        return -1;
    return tolvex::IconCatalogue::Instance().NumberOf(class_name);
}

int32_t set_path(const char* folder) {
    if (folder == nullptr)
        return TOLVEX_ERROR_ARGUMENT;
    Store().SetFolder(folder);
    return TOLVEX_OK;
}

int32_t get_value(const char* section, const char* key, const char* default_value, char* result) {
    if (section == nullptr || key == nullptr || default_value == nullptr || result == nullptr)
        return TOLVEX_ERROR_ARGUMENT;
    if (auto stored = Store().Get(section, key)) {
        CopyToValueBuffer(*stored, result);
        return 0;
    }
    CopyToValueBuffer(default_value, result);
    return 1;
}

int32_t set_value(const char* section, const char* key, const char* value) {
    if (section == nullptr || key == nullptr || value == nullptr)
        return TOLVEX_ERROR_ARGUMENT;
    if (std::strlen(value) > TOLVEX_VALUE_BUFFER - 1)
        return TOLVEX_ERROR_TEXT; // could not be read back whole
    switch (Store().Set(section, key, value)) {
    case tolvex::SettingsStore::Result::Ok:
        return TOLVEX_OK;
    case tolvex::SettingsStore::Result::NoFolder:
        return TOLVEX_ERROR_NO_PATH;
    case tolvex::SettingsStore::Result::BadText:
        return TOLVEX_ERROR_TEXT;
    case tolvex::SettingsStore::Result::WriteFailed:
        break;
    }
    return TOLVEX_ERROR_WRITE;
}

TolvexIconStrip* get_image(int32_t number) {
    const auto& catalogue = tolvex::IconCatalogue::Instance();
    if (number < 0 || number >= catalogue.Count())
        return nullptr;
    auto pixels = catalogue.IconPixels(number);
    auto* copy = new uint8_t[pixels.size()];
    std::memcpy(copy, pixels.data(), pixels.size());
    return new TolvexIconStrip{TOLVEX_ICON_SIZE, TOLVEX_ICON_SIZE, 1, copy};
}

void free_image(TolvexIconStrip* image) {
    if (image == nullptr)
        return;
    delete[] image->pixels;
    delete image;
}

} // extern "C"
