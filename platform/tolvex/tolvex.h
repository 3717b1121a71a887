#ifndef TOLVEX_H
#define TOLVEX_H

/*
 * Tolvex: the class icon and settings library, loaded by the browser at run time
 * (file libTolvex.so). Plain C entries; texts are terminated 8-bit (UTF-8) strings.
 *
 * Icons
 *   The library holds one strip of 16 x 16 icons side by side, one icon per object
 *   class that the browser shows. Icon numbers are indexes into that strip.
 *
 *   get_icons_image(format)  Prepares the strip in the pixel format the caller asks
 *                            for and returns 0, or a non-zero error code when the
 *                            library cannot serve that format (the caller shows the
 *                            code and stops). The only format is TOLVEX_STRIP_RGBA32.
 *   get_icons()              The strip prepared by get_icons_image: a descriptor that
 *                            stays valid while the library is loaded, or NULL before
 *                            a successful get_icons_image. Its count is the number of
 *                            icons; icon i covers the pixel columns 16*i .. 16*i+15.
 *   get_nr_icon(class)       Icon number of an object class; class names compare
 *                            without regard to (ASCII) case. Negative when the class
 *                            has no icon. "Unknown2" names the icon for classes
 *                            without one of their own.
 *   get_icon_name(number)    The class name of an icon number, NULL when out of range.
 *   get_image(number)        A copy of one icon (count 1), to be released with
 *                            free_image; NULL when the number is out of range.
 *
 * Settings (version 2 on)
 *   Values are kept by section and key in the file "Tolvex.ini" in the folder given
 *   to set_path. Sections and keys compare without regard to case.
 *
 *   set_path(folder)         The folder the library was loaded from (any length).
 *                            Returns 0, or TOLVEX_ERROR_ARGUMENT for NULL.
 *   get_value(section, key, default, result)
 *                            Copies the stored value, or the default when there is
 *                            none, into result: a buffer of TOLVEX_VALUE_BUFFER bytes,
 *                            terminated; a longer text is cut at a character
 *                            boundary. Returns 0 when a stored value was given, 1 for
 *                            the default, TOLVEX_ERROR_ARGUMENT for NULL arguments.
 *   set_value(section, key, value)
 *                            Stores the value at once (the file is replaced through a
 *                            temporary file). Returns 0, or an error: no folder set,
 *                            a text that cannot be kept in the file (line breaks,
 *                            "]" in a section, "=" in a key, an empty key, a value
 *                            longer than TOLVEX_VALUE_BUFFER - 1 bytes), or a failed
 *                            write.
 */

#include <stdint.h>

#if defined(__GNUC__)
#define TOLVEX_API __attribute__((visibility("default")))
#else
#define TOLVEX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define TOLVEX_VERSION 3
#define TOLVEX_SUBVERSION 1

#define TOLVEX_ICON_SIZE 16
#define TOLVEX_VALUE_BUFFER 257

/* The pixel format of the strip: 4 bytes per pixel in the order red, green, blue,
   alpha (straight alpha); rows top to bottom, stride = width * 4 bytes. */
#define TOLVEX_STRIP_RGBA32 1

#define TOLVEX_OK 0
#define TOLVEX_ERROR_FORMAT 1
#define TOLVEX_ERROR_ARGUMENT 2
#define TOLVEX_ERROR_NO_PATH 3
#define TOLVEX_ERROR_TEXT 4
#define TOLVEX_ERROR_WRITE 5

typedef struct TolvexIconStrip {
    int32_t width;         /* pixels: count * height */
    int32_t height;        /* pixels: TOLVEX_ICON_SIZE; each icon is height x height */
    int32_t count;         /* number of icons */
    const uint8_t* pixels; /* width * height pixels, TOLVEX_STRIP_RGBA32 */
} TolvexIconStrip;

TOLVEX_API int32_t version(void);
TOLVEX_API int32_t subversion(void);
TOLVEX_API int32_t get_icons_image(uint32_t format);
TOLVEX_API const TolvexIconStrip* get_icons(void);
TOLVEX_API const char* get_icon_name(int32_t number);
TOLVEX_API int32_t get_nr_icon(const char* class_name);
TOLVEX_API int32_t set_path(const char* folder);
TOLVEX_API int32_t get_value(const char* section, const char* key, const char* default_value, char* result);
TOLVEX_API int32_t set_value(const char* section, const char* key, const char* value);
TOLVEX_API TolvexIconStrip* get_image(int32_t number);
TOLVEX_API void free_image(TolvexIconStrip* image);

/* Entry types for binding by name. */
typedef int32_t (*tolvex_version_fn)(void);
typedef int32_t (*tolvex_subversion_fn)(void);
typedef int32_t (*tolvex_get_icons_image_fn)(uint32_t);
typedef const TolvexIconStrip* (*tolvex_get_icons_fn)(void);
typedef const char* (*tolvex_get_icon_name_fn)(int32_t);
typedef int32_t (*tolvex_get_nr_icon_fn)(const char*);
typedef int32_t (*tolvex_set_path_fn)(const char*);
typedef int32_t (*tolvex_get_value_fn)(const char*, const char*, const char*, char*);
typedef int32_t (*tolvex_set_value_fn)(const char*, const char*, const char*);
typedef TolvexIconStrip* (*tolvex_get_image_fn)(int32_t);
typedef void (*tolvex_free_image_fn)(TolvexIconStrip*);

#ifdef __cplusplus
}
#endif

#endif /* TOLVEX_H */
