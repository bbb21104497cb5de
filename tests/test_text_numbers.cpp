#include "TextNumbers.h"

#include <gtest/gtest.h>

#include <QString>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <utility>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct ValCase {
  const char* text;
  double expected;
};

void PrintTo(const ValCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

// Switches the C library to a German locale for one test, where the decimal
// separator is ','; restores the previous locale afterwards.
class GermanLocale {
 public:
  GermanLocale() : saved_(std::setlocale(LC_ALL, nullptr)) {
    active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr ||
              std::setlocale(LC_ALL, "de_DE.utf8") != nullptr;
  }
  ~GermanLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
  GermanLocale(const GermanLocale&) = delete;
  GermanLocale& operator=(const GermanLocale&) = delete;
  bool active() const { return active_; }

 private:
  std::string saved_;
  bool active_ = false;
};

#define REQUIRE_GERMAN(locale)                                                   \
  do {                                                                           \
    if (!(locale).active()) GTEST_SKIP() << "German locale (de_DE.UTF-8) missing"; \
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");                         \
  } while (false)

// ---------------------------------------------------------------- Val

class ValGrammar : public ::testing::TestWithParam<ValCase> {};

TEST_P(ValGrammar, ReadsTheLeadingNumber) {
  const ValCase c = GetParam();
  EXPECT_EQ(fw::Val(std::string_view(c.text)), c.expected);
  EXPECT_EQ(fw::Val(QString::fromUtf8(c.text)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValGrammar,
    ::testing::Values(
        ValCase{"", 0}, ValCase{".", 0}, ValCase{"-", 0}, ValCase{"+", 0},
        ValCase{"-.", 0}, ValCase{"abc", 0}, ValCase{" ", 0}, ValCase{"inf", 0},
        ValCase{"nan", 0}, ValCase{"-inf", 0}, ValCase{"0x10", 0}, ValCase{"e5", 0},
        ValCase{".e5", 0}, ValCase{"- 1", 0}, ValCase{"1", 1}, ValCase{"42", 42},
        ValCase{"  \t 7", 7}, ValCase{"+3", 3}, ValCase{"-3", -3}, ValCase{"1.2.3", 1.2},
        ValCase{".5", 0.5}, ValCase{"5.", 5}, ValCase{"-.5", -0.5}, ValCase{"+.25", 0.25},
        ValCase{"1.0001", 1.0001}, ValCase{"1e", 1}, ValCase{"1e+", 1}, ValCase{"1e-", 1},
        ValCase{"1ex", 1}, ValCase{"2e3", 2000}, ValCase{"2E3", 2000},
        ValCase{"2e+3", 2000}, ValCase{"2e-3", 0.002}, ValCase{"5.e2", 500},
        ValCase{".5e1", 5}, ValCase{"-1.5e2xyz", -150}, ValCase{"12abc", 12},
        ValCase{"3 4", 3}, ValCase{"0.6875", 0.6875}, ValCase{"007", 7},
        ValCase{"1,5", 1}, ValCase{"\n5", 0}));

TEST(Val, MinusZeroAndEmptyKeepTheirSign) {
  using namespace std::string_view_literals;
  EXPECT_FALSE(std::signbit(fw::Val(""sv)));
  EXPECT_FALSE(std::signbit(fw::Val("-"sv)));
  EXPECT_FALSE(std::signbit(fw::Val("-."sv)));
  EXPECT_TRUE(std::signbit(fw::Val("-0"sv)));
  EXPECT_TRUE(std::signbit(fw::Val(QStringLiteral("-0"))));
}

class ValRounding : public ::testing::TestWithParam<std::pair<std::string, double>> {};

TEST_P(ValRounding, IsCorrectlyRounded) {
  EXPECT_EQ(fw::Val(GetParam().first), GetParam().second);
}

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

INSTANTIATE_TEST_SUITE_P(
    Table, ValRounding,
    ::testing::Values(
        std::pair<std::string, double>{"0.1", 0.1},
        std::pair<std::string, double>{"0.30000000000000004", 0.30000000000000004},
        std::pair<std::string, double>{"0.3", 0.3},
        std::pair<std::string, double>{"2.2250738585072011e-308", 2.2250738585072011e-308},
        std::pair<std::string, double>{"4.9406564584124654e-324", 5e-324},
        std::pair<std::string, double>{"1.7976931348623157e308", 1.7976931348623157e308},
        // 2^53 + 1 lies exactly between two doubles: ties go to even...
        std::pair<std::string, double>{"9007199254740993", 9007199254740992.0},
        // ...but a 1 four hundred places later tips it upwards.
        std::pair<std::string, double>{"9007199254740993." + Repeat('0', 400) + "1",
                                       9007199254740994.0},
        std::pair<std::string, double>{"0." + Repeat('3', 400), 1.0 / 3.0},
        std::pair<std::string, double>{"1" + Repeat('0', 5000) + "e-5000", 1.0},
        std::pair<std::string, double>{"0." + Repeat('0', 5000) + "1e5001", 1.0}));

class ValRange : public ::testing::TestWithParam<ValCase> {};

TEST_P(ValRange, OverflowsToInfinityAndUnderflowsToZero) {
  const ValCase c = GetParam();
  const double v = fw::Val(std::string_view(c.text));
  EXPECT_EQ(v, c.expected);
  EXPECT_EQ(std::signbit(v), std::signbit(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValRange,
    ::testing::Values(ValCase{"1e999", kInf}, ValCase{"-1e999", -kInf},
                      ValCase{"1e-999", 0.0}, ValCase{"-1e-999", -0.0},
                      ValCase{"1.8e308", kInf}, ValCase{"2e-324", 0.0},
                      ValCase{"1e99999999999999999999", kInf},
                      ValCase{"-1e99999999999999999999", -kInf},
                      ValCase{"1e-99999999999999999999", 0.0},
                      ValCase{"0e99999999999999999999", 0.0},
                      ValCase{"-0.0e-99999999999999999999", -0.0},
                      ValCase{"0.0000000001e-99999999999999999999", 0.0},
                      ValCase{"100000000000e-99999999999999999999", 0.0}));

TEST(Val, ReadsVeryLongDigitStrings) {
  const std::string text = "0." + Repeat('9', 2'000'000);
  EXPECT_EQ(fw::Val(text), 1.0);
}

TEST(Val, IgnoresTheGermanLocale) {
  GermanLocale german;
  REQUIRE_GERMAN(german);
  EXPECT_EQ(fw::Val(QStringLiteral("0.5")), 0.5);
  EXPECT_EQ(fw::Val(QStringLiteral("0.6875")), 0.6875);
  EXPECT_EQ(fw::Val(QStringLiteral("-1.25e1")), -12.5);
  EXPECT_EQ(fw::Val(QStringLiteral("0,5")), 0.0);
}

// ---------------------------------------------------------------- Format

struct FormatCase {
  double value;
  const char* pattern;
  const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << std::hexfloat << c.value << " with \"" << c.pattern << '"';
}

class FormatFourPlaces : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatFourPlaces, WritesTheExactValueRounded) {
  const FormatCase c = GetParam();
  EXPECT_EQ(fw::FormatText(c.value, c.pattern), c.expected);
  EXPECT_EQ(fw::Format(c.value, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatFourPlaces,
    ::testing::Values(
        FormatCase{0.6875, ".0000", ".6875"},
        FormatCase{0.7000000000000002, ".0000", ".7000"},
        FormatCase{0.6000000000000001, ".0000", ".6000"},
        FormatCase{-4.000000000000001, ".0000", "-4.0000"},
        FormatCase{-0.19999999999999996, ".0000", "-.2000"},
        FormatCase{0.8500000000000001, ".0000", ".8500"},
        FormatCase{1, ".0000", "1.0000"},
        FormatCase{0, ".0000", ".0000"},
        FormatCase{-0.0, ".0000", ".0000"},
        FormatCase{-0.00001, ".0000", ".0000"},
        FormatCase{-1, ".0000", "-1.0000"},
        FormatCase{0.03125, ".0000", ".0313"},
        FormatCase{-0.03125, ".0000", "-.0313"},
        // The double nearest 0.99995 is 0.99995000000000000550..., above the tie.
        FormatCase{0.99995, ".0000", "1.0000"},
        FormatCase{-0.99995, ".0000", "-1.0000"},
        // The double nearest 0.00005 is 5.00000000000000023960868e-05.
        FormatCase{0.00005, ".0000", ".0001"},
        // The double nearest 1.00005 is 1.00005000000000010551..., above the tie.
        FormatCase{1.00005, ".0000", "1.0001"},
        FormatCase{123456.5, ".0000", "123456.5000"},
        FormatCase{5e-324, ".0000", ".0000"},
        FormatCase{-5e-324, ".0000", ".0000"},
        FormatCase{kInf, ".0000", "INF"},
        FormatCase{-kInf, ".0000", "-INF"},
        FormatCase{std::numeric_limits<double>::quiet_NaN(), ".0000", "NAN"},
        FormatCase{-kInf, "", "-INF"},
        FormatCase{std::numeric_limits<double>::quiet_NaN(), "x0.0y", "NAN"}));

TEST(Format, HugeValuesShowEveryIntegerDigit) {
  const std::string digits =
      "1000000000000000052504760255204420248704468581108159154915854115511802457988908195786"
      "3713750804478640437044438328838781769425232353604305756447921847867069828483872009265"
      "7580373783023379478809005936895323497079994508111903896764088007465274278014249457925"
      "8788820056842838115669472196386865459400540160";
  ASSERT_EQ(digits.size(), 301u);
  EXPECT_EQ(fw::FormatText(1e300, ".0000"), digits + ".0000");
  EXPECT_EQ(fw::FormatText(-1e300, "#"), "-" + digits);
  const std::string largest = fw::FormatText(std::numeric_limits<double>::max(), "0.00");
  EXPECT_EQ(largest.size(), 309u + 3u);
  EXPECT_EQ(largest.substr(0, 6), "179769");
}

class FormatTies : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTies, ExactHalvesGoAwayFromZero) {
  const FormatCase c = GetParam();
  EXPECT_EQ(fw::FormatText(c.value, c.pattern), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatTies,
    ::testing::Values(FormatCase{2.5, "#", "3"}, FormatCase{-2.5, "#", "-3"},
                      FormatCase{0.5, "#", "1"}, FormatCase{-0.5, "#", "-1"},
                      FormatCase{1.5, "#", "2"}, FormatCase{0.125, "0.00", "0.13"},
                      FormatCase{-0.125, "0.00", "-0.13"}, FormatCase{0.375, "0.00", "0.38"},
                      FormatCase{9.5, "#", "10"},
                      FormatCase{999.5, "0", "1000"}, FormatCase{0.96875, ".0000", ".9688"},
                      // Not ties once the binary value is seen: 2.675 is 2.67499999...
                      FormatCase{2.675, "0.00", "2.67"}, FormatCase{1.005, "0.00", "1.00"},
                      FormatCase{99.995, "0.00", "100.00"},
                      FormatCase{0.4999999999999999, "#", "0"}));

class FormatPatterns : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatPatterns, FollowsThePlaceholders) {
  const FormatCase c = GetParam();
  EXPECT_EQ(fw::FormatText(c.value, c.pattern), c.expected);
  EXPECT_EQ(fw::Format(c.value, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatPatterns,
    ::testing::Values(
        FormatCase{3.14159, "0.00", "3.14"}, FormatCase{0.5, "0.00", "0.50"},
        FormatCase{0.4, "#", "0"}, FormatCase{0, "#", "0"}, FormatCase{-0.4, "#", "0"},
        FormatCase{7, "000", "007"}, FormatCase{-7, "000", "-007"},
        FormatCase{12345, "00", "12345"}, FormatCase{1234.5, "#.#", "1234.5"},
        FormatCase{1.5, "#.##", "1.5"}, FormatCase{1, "#.##", "1"},
        FormatCase{0, "#.##", "0"}, FormatCase{0.001, "#.##", "0"},
        FormatCase{0.25, "#.##", ".25"}, FormatCase{0.25, "", "0"},
        FormatCase{3.7, "", "4"}, FormatCase{1.2, "#.0#", "1.2"},
        FormatCase{1.25, "#.0#", "1.25"}, FormatCase{1, "#.0#", "1.0"},
        FormatCase{1, "#.#0", "1.00"}, FormatCase{0, "0.00", "0.00"},
        FormatCase{1.25, "0.", "1"}, FormatCase{0.25, "0.", "0"},
        FormatCase{0.25, ".", "0"}, FormatCase{0.75, ".", "1"},
        FormatCase{1.5, "#0#", "2"}, FormatCase{0.5, "##0.0", "0.5"},
        // Text around the placeholders stays where it stands.
        FormatCase{12.5, "0.0 %", "12.5 %"}, FormatCase{-3, "x=0.0", "x=-3.0"},
        FormatCase{2, "<#>", "<2>"}, FormatCase{2, "abc", "abc2"},
        FormatCase{1.25, "0.0.0", "1.3.0"}, FormatCase{1.25, "0.0a0", "1.3a0"},
        FormatCase{4, "\xC3\xA9 0 \xE2\x82\xAC", "\xC3\xA9 4 \xE2\x82\xAC"}));

TEST(Format, ManyPlacesAreWrittenExactly) {
  // The exact expansion of 0.1 ends after 55 places; more are zeros.
  const std::string pattern = "0." + std::string(70, '0');
  const std::string text = fw::FormatText(0.1, pattern);
  EXPECT_EQ(text, "0.1000000000000000055511151231257827021181583404541015625" +
                      std::string(70 - 55, '0'));
  EXPECT_EQ(fw::FormatText(0.1, "0." + std::string(2000, '#')),
            "0.1000000000000000055511151231257827021181583404541015625");
  EXPECT_EQ(fw::FormatText(5e-324, "0." + std::string(1074, '#')).size(), 2u + 1074u);
}

TEST(Format, IgnoresTheGermanLocale) {
  GermanLocale german;
  REQUIRE_GERMAN(german);
  EXPECT_EQ(fw::FormatText(0.6875, ".0000"), ".6875");
  EXPECT_EQ(fw::Format(0.5, QStringLiteral("0.00")), QStringLiteral("0.50"));
  EXPECT_EQ(fw::FormatText(-1234.5, "#.#"), "-1234.5");
}

TEST(Format, AnyDoubleWithAnyPlaceholderPatternIsSafe) {
  std::mt19937_64 random(20240611);
  const char alphabet[] = {'#', '0', '.'};
  for (int round = 0; round < 3000; ++round) {
    const std::uint64_t bits = random();
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    std::string pattern(random() % 12, '#');
    for (char& c : pattern) c = alphabet[random() % 3];
    const std::string text = fw::FormatText(value, pattern);
    ASSERT_FALSE(text.empty()) << pattern;
    ASSERT_EQ(text.find_first_not_of("-0123456789.INFA#"), std::string::npos) << text;
  }
}

TEST(Format, ReadsBackWhatValWrites) {
  EXPECT_EQ(fw::Format(fw::Val(QStringLiteral("0.6875")), QStringLiteral(".0000")),
            QStringLiteral(".6875"));
  for (std::string_view text : {"-.2000", "1.0000", "-4.0000", "123456.5000", ".0313", "-.8500"})
    EXPECT_EQ(fw::FormatText(fw::Val(text), ".0000"), text);
}

// ---------------------------------------------------------------- Asc / Abs

struct AscCase {
  const char* text;
  std::int32_t expected;
};

void PrintTo(const AscCase& c, std::ostream* os) { *os << "code " << c.expected; }

class AscTable : public ::testing::TestWithParam<AscCase> {};

TEST_P(AscTable, GivesTheFirstCodePoint) {
  EXPECT_EQ(fw::Asc(QString::fromUtf8(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, AscTable,
                         ::testing::Values(AscCase{"", 0}, AscCase{"A", 65},
                                           AscCase{"Abc", 65}, AscCase{"\xC3\xA9", 233},
                                           AscCase{"\xF0\x9F\x98\x80", 128512},
                                           AscCase{"\xF0\x9F\x98\x80x", 128512},
                                           AscCase{"\b", 8}, AscCase{" ", 32}));

TEST(Asc, LoneSurrogateGivesItsOwnCode) {
  EXPECT_EQ(fw::Asc(QString(QChar(0xD83D))), 0xD83D);
}

TEST(Abs, DropsTheSign) {
  EXPECT_EQ(fw::Abs(-2.5), 2.5);
  EXPECT_EQ(fw::Abs(2.5), 2.5);
  EXPECT_FALSE(std::signbit(fw::Abs(-0.0)));
  EXPECT_EQ(fw::Abs(-kInf), kInf);
}

}  // namespace
