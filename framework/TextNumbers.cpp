#include "TextNumbers.h"

#include <QByteArray>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <limits>
#include <system_error>

namespace fw {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipDigits(std::string_view s, std::size_t i) {
  while (i < s.size() && IsDigit(s[i])) ++i;
  return i;
}

// Where the pieces of the leading number lie in a text.
struct NumberSpan {
  bool negative = false;
  std::size_t intBegin = 0, intEnd = 0;    // integer digits
  std::size_t fracBegin = 0, fracEnd = 0;  // fraction digits
  std::size_t expBegin = 0, expEnd = 0;    // exponent digits, empty if none
  bool expNegative = false;
  bool HasDigits() const { return intEnd > intBegin || fracEnd > fracBegin; }
  std::size_t End() const { return expEnd > expBegin ? expEnd : fracEnd; }
};

// Blanks before the number, in UTF-8: space and tab, every other Unicode
// space separator, and the invisible zero-width space, word joiner and
// byte-order mark. A number copied from a web page or a PDF often comes
// behind one of them, and shows as if behind a space.
constexpr std::string_view kBlanks[] = {
    " ", "\t", "\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004",
    "\u2005", "\u2006", "\u2007", "\u2008", "\u2009", "\u200A", "\u202F", "\u205F",
    "\u3000", "\u200B", "\u2060", "\uFEFF",
};

std::size_t SkipBlanks(std::string_view s) {
  std::size_t i = 0;
  for (;;) {
    const std::string_view rest = s.substr(i);
    // Past space and tab, every blank starts with a byte above ASCII, so a
    // plain number costs one test, not a search of the list.
    if (rest.empty()) return i;
    const auto first = static_cast<unsigned char>(rest[0]);
    if (first < 0x80 && first != ' ' && first != '\t') return i;
    const auto blank = std::find_if(std::begin(kBlanks), std::end(kBlanks),
                                    [rest](std::string_view b) { return rest.starts_with(b); });
    if (blank == std::end(kBlanks)) return i;
    i += blank->size();
  }
}

NumberSpan ScanNumber(std::string_view s) {
  NumberSpan n;
  std::size_t i = SkipBlanks(s);
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) n.negative = s[i++] == '-';
  n.intBegin = i;
  n.intEnd = i = SkipDigits(s, i);
  if (i < s.size() && s[i] == '.') ++i;
  n.fracBegin = i;
  n.fracEnd = i = SkipDigits(s, i);
  n.expBegin = n.expEnd = n.End();
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    bool negativeExp = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) negativeExp = s[j++] == '-';
    const std::size_t digitsEnd = SkipDigits(s, j);
    // "1e" and "1e+" are just 1: the exponent needs a digit.
    if (digitsEnd > j) {
      n.expBegin = j;
      n.expEnd = digitsEnd;
      n.expNegative = negativeExp;
    }
  }
  return n;
}

constexpr std::int64_t kSaturation = std::int64_t{1} << 40;

std::int64_t Saturated(std::int64_t v) { return std::min(v, kSaturation); }

// Decimal position of the leading non-zero digit plus the exponent, or
// nothing when every digit is zero. Saturates, so no digit string overflows.
bool LeadingMagnitude(std::string_view s, const NumberSpan& n, std::int64_t& out) {
  std::int64_t magnitude = 0;
  const auto intFirst = std::find_if(s.begin() + n.intBegin, s.begin() + n.intEnd,
                                     [](char c) { return c != '0'; });
  if (intFirst != s.begin() + n.intEnd) {
    magnitude = Saturated(s.begin() + n.intEnd - intFirst - 1);
  } else {
    const auto fracFirst = std::find_if(s.begin() + n.fracBegin, s.begin() + n.fracEnd,
                                        [](char c) { return c != '0'; });
    if (fracFirst == s.begin() + n.fracEnd) return false;
    magnitude = -Saturated(fracFirst - (s.begin() + n.fracBegin) + 1);
  }
  std::int64_t exponent = 0;
  for (std::size_t i = n.expBegin; i < n.expEnd; ++i)
    exponent = Saturated(exponent * 10 + (s[i] - '0'));
  out = magnitude + (n.expNegative ? -exponent : exponent);
  return true;
}

// from_chars reports too large and too small alike; tell them apart.
double OutOfRange(std::string_view s, const NumberSpan& n) {
  std::int64_t magnitude = 0;
  if (LeadingMagnitude(s, n, magnitude) && magnitude >= 0)
    return std::numeric_limits<double>::infinity();
  return 0.0;
}

}  // namespace

double Val(std::string_view utf8) {
  const NumberSpan n = ScanNumber(utf8);
  if (!n.HasDigits()) return 0.0;
  // from_chars is correctly rounded and ignores the locale, unlike strtod.
  const char* first = utf8.data() + n.intBegin;
  const char* last = utf8.data() + n.End();
  double magnitude = 0.0;
  const auto [ptr, ec] = std::from_chars(first, last, magnitude);
  if (ec == std::errc::result_out_of_range)
    magnitude = OutOfRange(utf8, n);
  else if (ec != std::errc() || ptr != last)
    magnitude = 0.0;
  return n.negative ? -magnitude : magnitude;
}

double Val(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Val(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

namespace {

// A pattern is: prefix, one run of placeholders, suffix. The run ends at the
// first character that is not '#', '0' or '.', or at a second '.'; all
// after it is copied literally. Without placeholders the run is empty and
// behaves like "#".
struct NumberPattern {
  std::string_view prefix, suffix;
  std::size_t minIntDigits = 0;
  std::size_t decimals = 0;
  std::size_t minDecimals = 0;
};

bool IsPlaceholder(char c) { return c == '#' || c == '0' || c == '.'; }

NumberPattern ParsePattern(std::string_view p) {
  NumberPattern out;
  std::size_t i = 0;
  while (i < p.size() && !IsPlaceholder(p[i])) ++i;
  out.prefix = p.substr(0, i);
  for (; i < p.size() && (p[i] == '#' || p[i] == '0'); ++i)
    if (p[i] == '0') ++out.minIntDigits;
  if (i < p.size() && p[i] == '.') {
    for (++i; i < p.size() && (p[i] == '#' || p[i] == '0'); ++i) {
      ++out.decimals;
      if (p[i] == '0') out.minDecimals = out.decimals;
    }
  }
  out.suffix = p.substr(i);
  return out;
}

// Exact decimal expansion of a finite magnitude, split at the point.
// 1100 places hold every double exactly (the smallest needs 1074).
constexpr int kExactPlaces = 1100;

void ExactDigits(double magnitude, std::string& intDigits, std::string& fracDigits) {
  std::array<char, 310 + 1 + kExactPlaces + 16> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude,
                                 std::chars_format::fixed, kExactPlaces);
  const std::string_view text(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
  const std::size_t point = text.find('.');
  intDigits = std::string(text.substr(0, point));
  fracDigits = point == std::string_view::npos ? std::string() : std::string(text.substr(point + 1));
}

// Adds one unit in the last place; may grow by a leading '1'.
void Increment(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return;
    }
    *it = '0';
  }
  digits.insert(digits.begin(), '1');
}

// Digits of the magnitude rounded to `decimals` places, half away from zero
// (ties are judged on the exact binary value, so 0.03125 is a tie but 0.1 is not).
std::string RoundedDigits(double magnitude, std::size_t decimals) {
  std::string intDigits, fracDigits;
  ExactDigits(magnitude, intDigits, fracDigits);
  const bool roundUp = decimals < fracDigits.size() && fracDigits[decimals] >= '5';
  fracDigits.resize(decimals, '0');  // beyond the exact places all digits are 0
  std::string digits = intDigits + fracDigits;
  if (roundUp) Increment(digits);
  return digits;
}

std::string Assemble(bool negative, std::string_view digits, const NumberPattern& pat) {
  std::string_view intPart = digits.substr(0, digits.size() - pat.decimals);
  std::string_view fracPart = digits.substr(digits.size() - pat.decimals);
  const auto firstNonZero = intPart.find_first_not_of('0');
  intPart = firstNonZero == std::string_view::npos ? std::string_view() : intPart.substr(firstNonZero);
  std::size_t fracLen = fracPart.size();
  while (fracLen > pat.minDecimals && fracPart[fracLen - 1] == '0') --fracLen;
  fracPart = fracPart.substr(0, fracLen);

  const bool isZero = digits.find_first_not_of('0') == std::string_view::npos;
  std::string out(pat.prefix);
  if (negative && !isZero) out += '-';
  if (intPart.size() < pat.minIntDigits) out.append(pat.minIntDigits - intPart.size(), '0');
  out += intPart;
  // Never write an empty number: a zero with nothing else to show is "0".
  if (intPart.empty() && pat.minIntDigits == 0 && fracPart.empty()) out += '0';
  if (!fracPart.empty()) {
    out += '.';
    out += fracPart;
  }
  out += pat.suffix;
  return out;
}

}  // namespace

std::string FormatText(double value, std::string_view pattern) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  const NumberPattern pat = ParsePattern(pattern);
  const std::string digits = RoundedDigits(std::fabs(value), pat.decimals);
  return Assemble(std::signbit(value), digits, pat);
}

QString Format(double value, const QString& pattern) {
  const QByteArray utf8 = pattern.toUtf8();
  const std::string text = FormatText(
      value, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::int32_t Asc(const QString& text) {
  if (text.isEmpty()) return 0;
  const QChar first = text.at(0);
  if (first.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate())
    return static_cast<std::int32_t>(QChar::surrogateToUcs4(first, text.at(1)));
  return first.unicode();
}

double Abs(double value) { return std::fabs(value); }

}  // namespace fw
