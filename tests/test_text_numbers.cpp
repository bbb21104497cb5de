// Val, Format and Asc: the leading-number grammar, exact rounding, and
// independence from the C library's locale.
#include "TextNumbers.h"

#include <gtest/gtest.h>

#include <QString>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
}  // namespace

TEST(Val, ReadsTheLeadingNumberAndSaturates) {
  const std::pair<const char*, double> cases[] = {
      {"", 0},         {".", 0},         {"-", 0},        {"abc", 0},         {"inf", 0},
      {"0x10", 0},     {"e5", 0},        {"- 1", 0},      {"\n5", 0},         {"  \t 7", 7},
      {"+3", 3},       {"1.2.3", 1.2},   {"5.", 5},       {"-.5", -0.5},      {"1e", 1},
      {"1e+", 1},      {"2E3", 2000},    {"2e-3", 0.002}, {"-1.5e2xyz", -150}, {"1,5", 1},
      {"1e999", kInf}, {"-1.8e308", -kInf}, {"1e99999999999999999999", kInf},
      {"-1e-999", -0.0}, {"2e-324", 0.0}, {"100000000000e-99999999999999999999", 0.0},
      // Blanks copied from web pages and PDFs: no-break, thin, narrow, ideographic, zero-width, BOM.
      {"\u00A0.8", 0.8}, {"\u2009\u202F-.5", -0.5}, {"\u3000\u200B \u2060\t\uFEFF7", 7},
      {"\u1680\u205F1e1", 10}, {"-\u00A0.5", 0}, {"\u00AD5", 0}, {"\u2028 5", 0},
  };
  for (const auto& [text, want] : cases) {
    const double v = fw::Val(QString::fromUtf8(text));
    EXPECT_EQ(v, want) << '"' << text << '"';
    EXPECT_EQ(std::signbit(v), std::signbit(want)) << '"' << text << '"';
  }
}

TEST(Format, WritesTheExactValueRoundedHalfAwayFromZero) {
  const struct {
    double value;
    const char *pattern, *expected;
  } cases[] = {
      {0.6875, ".0000", ".6875"},          {0.7000000000000002, ".0000", ".7000"},
      {-4.000000000000001, ".0000", "-4.0000"}, {-0.19999999999999996, ".0000", "-.2000"},
      {1, ".0000", "1.0000"},              {0, ".0000", ".0000"},
      {-1, ".0000", "-1.0000"},            {-0.0, ".0000", ".0000"},
      {-0.00001, ".0000", ".0000"},        {-0.4, "#", "0"},
      {0.03125, ".0000", ".0313"},         {-0.03125, ".0000", "-.0313"},  // exact ties
      {0.99995, ".0000", "1.0000"},        {2.675, "0.00", "2.67"},  // just above and below the half
      {kInf, ".0000", "INF"},              {-kInf, ".0000", "-INF"},
      {std::numeric_limits<double>::quiet_NaN(), ".0000", "NAN"},
      {-7, "000", "-007"},                 {0.25, "#.##", ".25"},
      {12.5, "x=0.0 %", "x=12.5 %"},       {4, "\xC3\xA9 0 \xE2\x82\xAC", "\xC3\xA9 4 \xE2\x82\xAC"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(fw::Format(c.value, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.expected)) << c.pattern;
  EXPECT_EQ(fw::FormatText(0.1, "0." + std::string(60, '#')),
            "0.1000000000000000055511151231257827021181583404541015625");
}

TEST(TextNumbers, IgnoreTheGermanLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
    GTEST_SKIP() << "German locale (de_DE.UTF-8) missing";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  EXPECT_EQ(fw::Val(QStringLiteral("-1.25e1")), -12.5);
  EXPECT_EQ(fw::Val(QStringLiteral("0,5")), 0.0);
  EXPECT_EQ(fw::Format(-1234.5, QStringLiteral("#.#")), QStringLiteral("-1234.5"));
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(Asc, GivesTheFirstCodePoint) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"", 0}, {"Abc", 65}, {"\xC3\xA9", 233}, {"\xF0\x9F\x98\x80x", 128512}};
  for (const auto& [text, want] : cases)
    EXPECT_EQ(fw::Asc(QString::fromUtf8(text)), want) << want;
}
