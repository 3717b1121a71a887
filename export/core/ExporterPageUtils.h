#pragma once

// Page geometry and small text helpers shared by the PDF and RTF exporters, the sheet objects and the
// export dialog. Points are 1/72 inch.

#include "export/core/ExporterTypes.h"

#include <string>

namespace exporter {

enum class TExportUnits { unInch, unMillimeter, unDot };

enum class TExportPageFormat {
    pfLetter,
    pfLegal,
    pfA3,
    pfA4,
    pfA5,
    pfB5_JIS,
    pfUS_Std_Fanfold,
    pfFanfold,
    pfUser
};

enum class TExportPageOrientation { poPortrait, poLandscape };

// inches x 72, truncated.
int InchesToPoints(double inches);
// millimetres / 25.4 x 72, truncated.
int MillimetersToPoints(double millimeters);
double PointsToInches(double points);
double PointsToMillimeters(double points);
// value rounded (half away from zero) to digits decimals.
double RoundToDigits(double value, int digits);
// unInch and unMillimeter through the conversions above; unDot truncated.
int UnitsToPoints(double value, TExportUnits units);
// unInch: inches rounded to 2 decimals; unMillimeter: millimetres rounded to a whole number; unDot: the
// points.
double PointsToUnits(int points, TExportUnits units);
// The paper size of a format in inches (pfUser as pfA4).
double PageFormatWidth(TExportPageFormat format);
double PageFormatHeight(TExportPageFormat format);

// A character as the option files keep it: one character as itself, "#" and a decimal code as that code;
// anything else gives character 0.
char StrToCharEx(const std::string& text);
// Characters below 33 as "#" and the code, others as themselves.
std::string CharToStrEx(char ch);
// The number the text holds (the locale's decimal separator), or def when it is not a number.
double StrToFloatDef(const std::string& text, double def);

// The width in pixels of the text (UTF-8) in that font on the display. Needs a running Qt application
// for a real measurement; without one it estimates from average character widths.
int TextWidthOnDisplay(const std::string& text, const TExportFont& font);

} // namespace exporter
