// A stand-in for an older or incomplete Tolvex library: version STUB_VERSION, with
// the settings entries only when STUB_WITH_SETTINGS and the image entries only when
// STUB_WITH_IMAGES. It records what the binding calls.

#include "platform/tolvex/tolvex.h"

#include <cstring>

namespace {
char lastPath[1024];
} // namespace

extern "C" {

TOLVEX_API int32_t version(void) {
    return STUB_VERSION;
}
TOLVEX_API int32_t subversion(void) {
    return 0;
}
TOLVEX_API int32_t get_icons_image(uint32_t) {
    return 7;
}
TOLVEX_API const TolvexIconStrip* get_icons(void) {
    return nullptr;
}
TOLVEX_API const char* get_icon_name(int32_t) {
    return nullptr;
}
TOLVEX_API int32_t get_nr_icon(const char*) {
    return -1;
}
TOLVEX_API int32_t set_path(const char* folder) {
    std::strncpy(lastPath, folder, sizeof lastPath - 1);
    return 0;
}
TOLVEX_API const char* stub_last_path(void) {
    return lastPath;
}

#if STUB_WITH_SETTINGS
TOLVEX_API int32_t get_value(const char*, const char*, const char*, char* result) {
    std::memset(result, 'x', TOLVEX_VALUE_BUFFER); // no terminator at all
    return 0;
}
TOLVEX_API int32_t set_value(const char*, const char*, const char*) {
    return 0;
}
#endif

#if STUB_WITH_IMAGES
TOLVEX_API TolvexIconStrip* get_image(int32_t) {
    return nullptr;
}
TOLVEX_API void free_image(TolvexIconStrip*) {}
#endif
}
