#pragma once
// Reading numbers from text and writing them with a picture pattern.
// Nothing here depends on the locale of the process.
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

// The number at the start of the text (blanks skipped); 0 when there is none.
double Val(std::string_view utf8);
double Val(const QString& text);
inline double Val(const char* utf8) { return Val(std::string_view(utf8)); }

// Writes the value after a pattern of '#', '0' and '.'; see TextNumbers.cpp.
std::string FormatText(double value, std::string_view pattern);
QString Format(double value, const QString& pattern);

// Code point of the first character; 0 for the empty text.
std::int32_t Asc(const QString& text);

double Abs(double value);

}  // namespace fw
