#include "pdfbox/PdfEnvironment.h"

#include "pdfbox/PaperSizes.h"
#include "platform/rtl/SysUtils.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <langinfo.h>
#include <locale.h>

namespace pdfbox {

namespace {

// glibc hands the numeric paper facts back in the place of a string pointer.
int NumericLanginfo(nl_item item, locale_t locale) {
    union {
        char* string;
        unsigned int word;
    } value;
    value.string = nl_langinfo_l(item, locale);
    return static_cast<int>(value.word);
}

std::optional<int> LinuxLocalePaperSize() {
    locale_t locale = newlocale(LC_PAPER_MASK, "", nullptr);
    if (locale == nullptr)
        return std::nullopt;
    const int height = NumericLanginfo(_NL_PAPER_HEIGHT, locale);
    const int width = NumericLanginfo(_NL_PAPER_WIDTH, locale);
    freelocale(locale);
    const int number = FindPaperSizeByMillimetres(width, height);
    if (number < 0)
        return std::nullopt;
    return number;
}

std::optional<int> LinuxLocaleCountryCode() {
    locale_t locale = newlocale(LC_TELEPHONE_MASK, "", nullptr);
    if (locale == nullptr)
        return std::nullopt;
    const char* prefix = nl_langinfo_l(_NL_TELEPHONE_INT_PREFIX, locale);
    std::int32_t code = 0;
    const bool known = prefix != nullptr && rtl::TryStrToInt(prefix, code);
    freelocale(locale);
    if (!known)
        return std::nullopt;
    return code;
}

int QtScreenPixelsPerInch() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
    return 96;
}

} // namespace

TPdfEnvironment TPdfEnvironment::Default() {
    return {LinuxLocalePaperSize, LinuxLocaleCountryCode, QtScreenPixelsPerInch};
}

int DefaultPaperSize(const TPdfEnvironment& environment) {
    if (environment.LocalePaperSize) {
        if (const std::optional<int> paper = environment.LocalePaperSize()) {
            // A code the table does not hold would make the new component unusable.
            if (*paper >= 1 && *paper <= MaxPaperSize)
                return *paper;
            return A4PaperSize;
        }
    }
    if (environment.LocaleCountryCode) {
        const std::optional<int> country = environment.LocaleCountryCode();
        if (country && (*country == 1 || *country == 2))
            return LetterPaperSize;
    }
    return A4PaperSize;
}

} // namespace pdfbox
