// Val, Format and Asc: the leading-number grammar, exact rounding both ways,
// and independence from the C library's locale.
#include "TextNumbers.h"

#include <gtest/gtest.h>

#include <QString>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct FormatCase {
  double value;
  const char* pattern;
  const char* expected;
};

void ExpectFormats(std::initializer_list<FormatCase> cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(fw::FormatText(c.value, c.pattern), c.expected)
        << std::hexfloat << c.value << " with \"" << c.pattern << '"';
    EXPECT_EQ(fw::Format(c.value, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.expected));
  }
}

}  // namespace

TEST(Val, ReadsTheLeadingNumber) {
  const std::pair<const char*, double> cases[] = {
      {"", 0},        {".", 0},         {"-", 0},          {"-.", 0},       {"abc", 0},
      {"inf", 0},     {"nan", 0},       {"0x10", 0},       {"e5", 0},       {".e5", 0},
      {"- 1", 0},     {"\n5", 0},       {"1", 1},          {"  \t 7", 7},   {"+3", 3},
      {"-3", -3},     {"1.2.3", 1.2},   {".5", 0.5},       {"5.", 5},       {"-.5", -0.5},
      {"1e", 1},      {"1e+", 1},       {"1ex", 1},        {"2E3", 2000},   {"2e-3", 0.002},
      {"5.e2", 500},  {".5e1", 5},      {"-1.5e2xyz", -150}, {"3 4", 3},    {"007", 7},
      {"1,5", 1},     {"0.6875", 0.6875},
  };
  for (const auto& [text, want] : cases) {
    EXPECT_EQ(fw::Val(std::string_view(text)), want) << '"' << text << '"';
    EXPECT_EQ(fw::Val(QString::fromUtf8(text)), want) << '"' << text << '"';
  }
}

TEST(Val, IsCorrectlyRoundedAndSaturates) {
  const std::pair<std::string, double> cases[] = {
      {"0.1", 0.1},
      {"0.30000000000000004", 0.30000000000000004},
      {"4.9406564584124654e-324", 5e-324},
      {"1.7976931348623157e308", 1.7976931348623157e308},
      // 2^53 + 1 lies exactly between two doubles: ties go to even...
      {"9007199254740993", 9007199254740992.0},
      // ...but a 1 four hundred places later tips it upwards.
      {"9007199254740993." + std::string(400, '0') + "1", 9007199254740994.0},
      {"1" + std::string(5000, '0') + "e-5000", 1.0},
      {"0." + std::string(2'000'000, '9'), 1.0},
      // Overflow to infinity, underflow to zero, the sign kept.
      {"1e999", kInf},
      {"-1.8e308", -kInf},
      {"1e99999999999999999999", kInf},
      {"-1e-999", -0.0},
      {"2e-324", 0.0},
      {"100000000000e-99999999999999999999", 0.0},
      {"-0", -0.0},
      {"-", 0.0},
  };
  for (const auto& [text, want] : cases) {
    const double v = fw::Val(text);
    EXPECT_EQ(v, want) << text.substr(0, 40);
    EXPECT_EQ(std::signbit(v), std::signbit(want)) << text.substr(0, 40);
  }
}

TEST(Format, FourPlacesOfTheExactValueRounded) {
  ExpectFormats({
      {0.6875, ".0000", ".6875"},
      {0.7000000000000002, ".0000", ".7000"},
      {-4.000000000000001, ".0000", "-4.0000"},
      {-0.19999999999999996, ".0000", "-.2000"},
      {1, ".0000", "1.0000"},
      {0, ".0000", ".0000"},
      {-1, ".0000", "-1.0000"},
      {123456.5, ".0000", "123456.5000"},
      // No minus on what rounds to zero.
      {-0.0, ".0000", ".0000"},
      {-0.00001, ".0000", ".0000"},
      {-5e-324, ".0000", ".0000"},
      // Exact halves go away from zero...
      {0.03125, ".0000", ".0313"},
      {-0.03125, ".0000", "-.0313"},
      {0.96875, ".0000", ".9688"},
      {2.5, "#", "3"},
      {-0.5, "#", "-1"},
      {0.125, "0.00", "0.13"},
      // ...and the binary value decides what is a half: 0.99995 lies above it, 2.675 below.
      {0.99995, ".0000", "1.0000"},
      {1.00005, ".0000", "1.0001"},
      {2.675, "0.00", "2.67"},
      {1.005, "0.00", "1.00"},
      {0.4999999999999999, "#", "0"},
      {kInf, ".0000", "INF"},
      {-kInf, ".0000", "-INF"},
      {kNaN, ".0000", "NAN"},
  });
}

TEST(Format, FollowsThePlaceholders) {
  ExpectFormats({
      {3.14159, "0.00", "3.14"},
      {7, "000", "007"},
      {-7, "000", "-007"},
      {12345, "00", "12345"},
      {0.4, "#", "0"},
      {-0.4, "#", "0"},
      {1.5, "#.##", "1.5"},
      {0.25, "#.##", ".25"},
      {0.001, "#.##", "0"},
      {1, "#.0#", "1.0"},
      {3.7, "", "4"},
      {1.25, "0.", "1"},
      {12.5, "0.0 %", "12.5 %"},
      {-3, "x=0.0", "x=-3.0"},
      {1.25, "0.0.0", "1.3.0"},
      {4, "\xC3\xA9 0 \xE2\x82\xAC", "\xC3\xA9 4 \xE2\x82\xAC"},
      {-kInf, "", "-INF"},
  });
  // Huge values and many places are written out exactly.
  const std::string largest = fw::FormatText(std::numeric_limits<double>::max(), "0.00");
  EXPECT_EQ(largest.size(), 309u + 3u);
  EXPECT_EQ(largest.substr(0, 6), "179769");
  EXPECT_EQ(fw::FormatText(0.1, "0." + std::string(60, '#')), "0.1000000000000000055511151231257827021181583404541015625");
}

TEST(TextNumbers, IgnoreTheGermanLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
    GTEST_SKIP() << "German locale (de_DE.UTF-8) missing";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  EXPECT_EQ(fw::Val(QStringLiteral("0.6875")), 0.6875);
  EXPECT_EQ(fw::Val(QStringLiteral("-1.25e1")), -12.5);
  EXPECT_EQ(fw::Val(QStringLiteral("0,5")), 0.0);
  EXPECT_EQ(fw::FormatText(0.6875, ".0000"), ".6875");
  EXPECT_EQ(fw::Format(-1234.5, QStringLiteral("#.#")), QStringLiteral("-1234.5"));
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(Asc, GivesTheFirstCodePoint) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"", 0}, {"Abc", 65}, {"\xC3\xA9", 233}, {"\xF0\x9F\x98\x80x", 128512}, {"\b", 8}};
  for (const auto& [text, want] : cases)
    EXPECT_EQ(fw::Asc(QString::fromUtf8(text)), want) << want;
  EXPECT_EQ(fw::Asc(QString(QChar(0xD83D))), 0xD83D);  // a lone surrogate gives its own code
}
