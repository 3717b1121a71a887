#include "export/core/ExporterPageUtils.h"

#include "platform/rtl/SysUtils.h"

#include <cmath>

namespace exporter {

namespace {

// A conversion result that should be whole but lies a rounding error below it (127 mm are 360 points)
// is taken as whole before truncating.
int TruncPoints(double points) {
    return int(std::trunc(points + (points >= 0 ? 1e-9 : -1e-9)));
}

struct PaperSize {
    double width;
    double height;
};

PaperSize PaperOf(TExportPageFormat format) {
    switch (format) {
    case TExportPageFormat::pfLetter:
        return {8.5, 11};
    case TExportPageFormat::pfLegal:
        return {8.5, 14};
    case TExportPageFormat::pfA3:
        return {11.69, 16.54};
    case TExportPageFormat::pfA4:
    case TExportPageFormat::pfUser:
        return {8.27, 11.69};
    case TExportPageFormat::pfA5:
        return {5.83, 8.27};
    case TExportPageFormat::pfB5_JIS:
        return {7.17, 10.12};
    case TExportPageFormat::pfUS_Std_Fanfold:
        return {14.88, 11};
    case TExportPageFormat::pfFanfold:
        return {8.5, 12};
    }
    return {8.27, 11.69};
}

} // namespace

int InchesToPoints(double inches) {
    return TruncPoints(inches * 72);
}

int MillimetersToPoints(double millimeters) {
    return TruncPoints(millimeters / 25.4 * 72);
}

double PointsToInches(double points) {
    return points / 72;
}

double PointsToMillimeters(double points) {
    return points / 72 * 25.4;
}

double RoundToDigits(double value, int digits) {
    const double factor = std::pow(10.0, digits);
    return std::round(value * factor) / factor;
}

int UnitsToPoints(double value, TExportUnits units) {
    switch (units) {
    case TExportUnits::unInch:
        return InchesToPoints(value);
    case TExportUnits::unMillimeter:
        return MillimetersToPoints(value);
    case TExportUnits::unDot:
        break;
    }
    return int(std::trunc(value));
}

double PointsToUnits(int points, TExportUnits units) {
    switch (units) {
    case TExportUnits::unInch:
        return RoundToDigits(PointsToInches(points), 2);
    case TExportUnits::unMillimeter:
        return RoundToDigits(PointsToMillimeters(points), 0);
    case TExportUnits::unDot:
        break;
    }
    return points;
}

double PageFormatWidth(TExportPageFormat format) {
    return PaperOf(format).width;
}

double PageFormatHeight(TExportPageFormat format) {
    return PaperOf(format).height;
}

char StrToCharEx(const std::string& text) {
    if (text.size() == 1)
        return text[0];
    if (text.size() > 1 && text[0] == '#') {
        int code = 0;
        if (rtl::TryStrToInt(text.substr(1), code) && code >= 0 && code <= 255)
            return char(code);
    }
    return '\0';
}

std::string CharToStrEx(char ch) {
    const unsigned char code = static_cast<unsigned char>(ch);
    if (code < 33)
        return "#" + std::to_string(code);
    return std::string(1, ch);
}

double StrToFloatDef(const std::string& text, double def) {
    return rtl::StrToFloatDef(text, def);
}

} // namespace exporter
