// A seeded storm of user actions over the whole program, from start-up to
// Quit. After every action what the user sees (the fields with their carets
// and selections, the result, the messages, the active window and the focus,
// the Edit menu's states) is compared with what this file's own model of the
// program predicts; the result is predicted exactly, in decimal, from the
// typed texts. A failure prints the seed, the action and the actions before
// it. Replay: TOLVANE_STORM_SEED=<seed> (and TOLVANE_STORM_ACTIONS=<count>).

#include "App.h"
#include "Runtime.h"
#include "TestSupport.h"
#include "Window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <functional>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------- numbers

// Whole numbers of any size in limbs of nine decimal digits, the least
// significant first: as much arithmetic as the exact result needs.
class Big {
public:
    Big() = default;
    // The decimal digits followed by `zeros` zeros.
    static Big Digits(const std::string& digits, std::int64_t zeros)
    {
        Big b;
        b.limbs_.assign(static_cast<std::size_t>(zeros / 9), 0);
        const std::string d = digits + std::string(static_cast<std::size_t>(zeros % 9), '0');
        for (std::size_t end = d.size(); end > 0;) {
            const std::size_t begin = end > 9 ? end - 9 : 0;
            b.limbs_.push_back(static_cast<std::uint32_t>(std::stoul(d.substr(begin, end - begin))));
            end = begin;
        }
        b.Trim();
        return b;
    }

    friend Big operator+(const Big& a, const Big& b)
    {
        Big s;
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < std::max(a.limbs_.size(), b.limbs_.size()) || carry != 0; ++i) {
            const std::uint64_t v = carry + a.At(i) + b.At(i);
            s.limbs_.push_back(static_cast<std::uint32_t>(v % kBase));
            carry = v / kBase;
        }
        return s;
    }
    // a - b, for a >= b.
    friend Big operator-(const Big& a, const Big& b)
    {
        Big d;
        std::int64_t borrow = 0;
        for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
            std::int64_t v = std::int64_t{a.At(i)} - b.At(i) - borrow;
            borrow = v < 0 ? 1 : 0;
            d.limbs_.push_back(static_cast<std::uint32_t>(v + borrow * kBase));
        }
        d.Trim();
        return d;
    }
    friend Big operator*(const Big& a, std::uint32_t m)
    {
        Big p;
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < a.limbs_.size() || carry != 0; ++i) {
            const std::uint64_t v = std::uint64_t{a.At(i)} * m + carry;
            p.limbs_.push_back(static_cast<std::uint32_t>(v % kBase));
            carry = v / kBase;
        }
        p.Trim();
        return p;
    }
    friend int Compare(const Big& a, const Big& b)
    {
        if (a.limbs_.size() != b.limbs_.size())
            return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
        for (std::size_t i = a.limbs_.size(); i-- > 0;)
            if (a.limbs_[i] != b.limbs_[i])
                return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
        return 0;
    }
    // a / b, roughly: enough for a tolerance, never for a result.
    friend double Ratio(const Big& a, const Big& b)
    {
        const auto lead = [](const Big& x, double& value) {
            const std::size_t n = x.limbs_.size(), k = std::min<std::size_t>(n, 3);
            value = 0;
            for (std::size_t i = 0; i < k; ++i)
                value = value * kBase + x.limbs_[n - 1 - i];
            return static_cast<double>(n - k);
        };
        double va = 0, vb = 0;
        const double below = lead(a, va) - lead(b, vb);
        return vb == 0 ? INFINITY : va / vb * std::pow(double(kBase), below);
    }

private:
    static constexpr std::uint32_t kBase = 1'000'000'000;
    std::uint32_t At(std::size_t i) const { return i < limbs_.size() ? limbs_[i] : 0; }
    void Trim()
    {
        while (!limbs_.empty() && limbs_.back() == 0)
            limbs_.pop_back();
    }
    std::vector<std::uint32_t> limbs_;
};

// The number a text begins with, read by the program's grammar: blanks (tab,
// any Unicode space separator, zero-width space, word joiner, BOM), a sign,
// digits with at most one point, then an exponent of "e" or "E", a sign and
// at least one digit; a text without digits there is 0.
struct Decimal {
    bool negative = false;
    std::string digits;         // without leading zeros; empty for zero
    std::int64_t exponent = 0;  // the value is digits x 10^exponent
};

Decimal LeadingNumber(const QString& text)
{
    const auto at = [&](qsizetype i) { return i < text.size() ? text[i].unicode() : char16_t{0}; };
    const auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    Decimal d;
    qsizetype i = 0;
    const auto blank = [](char16_t c) {
        return c == u'\t' || c == u'\u200B' || c == u'\u2060' || c == u'\uFEFF' || QChar(c).category() == QChar::Separator_Space;
    };
    while (blank(at(i)))
        ++i;
    if (at(i) == u'+' || at(i) == u'-')
        d.negative = at(i++) == u'-';
    std::string digits;
    std::int64_t fraction = 0;
    for (; digit(at(i)); ++i)
        digits += static_cast<char>(at(i));
    if (at(i) == u'.')
        for (++i; digit(at(i)); ++i, ++fraction)
            digits += static_cast<char>(at(i));
    if (digits.empty())
        return {};
    std::int64_t exponent = 0;
    if (at(i) == u'e' || at(i) == u'E') {
        qsizetype j = i + 1;
        const bool down = at(j) == u'-';
        if (at(j) == u'+' || at(j) == u'-')
            ++j;
        for (; digit(at(j)); ++j)
            exponent = std::min<std::int64_t>(exponent * 10 + (at(j) - u'0'), 1'000'000'000);
        exponent = down ? -exponent : exponent;
    }
    d.digits = digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
    d.exponent = exponent - fraction;
    if (d.digits.empty())
        return {};
    return d;
}

bool BelowZero(const Decimal& d) { return d.negative && !d.digits.empty(); }

bool AboveOne(const Decimal& d)
{
    if (d.digits.empty())
        return false;
    // The leading digit stands at 10^p: 10 or more above 0, less than 1 below.
    const std::int64_t p = static_cast<std::int64_t>(d.digits.size()) - 1 + d.exponent;
    return p > 0 || (p == 0 && d.digits.find_first_not_of('0', 1) != std::string::npos) ||
           (p == 0 && d.digits[0] != '1');
}

// The value times 10^-scale, a whole number when scale <= the exponent.
Big Scaled(const Decimal& d, std::int64_t scale)
{
    return d.digits.empty() ? Big() : Big::Digits(d.digits, d.exponent - scale);
}

// A result with four decimals: ".7000", "-4.0000", no sign on a zero.
QString Written(bool negative, std::uint64_t tenThousandths)
{
    QString s = negative && tenThousandths != 0 ? QStringLiteral("-") : QString();
    if (tenThousandths >= 10000)
        s += QString::number(tenThousandths / 10000);
    return s + QStringLiteral(".%1").arg(tenThousandths % 10000, 4, 10, QLatin1Char('0'));
}

// What a press of Compute does with three texts: a message and the field it
// sends the focus to, or the texts the result may show (two where the exact
// value lies at, or within a hair of, a tie of the fourth decimal, where the
// program's doubles may fall either way).
struct Outcome {
    QString message;
    int focus = -1;
    QStringList shown;
};

Outcome Predict(const QString& rxxText, const QString& ryyText, const QString& rxyText)
{
    static const char* const kEmpty[] = {"Please enter the Reliability of the first test",
                                         "Please enter the Reliability of the second test",
                                         "Please enter the correlation between the two tests"};
    static const char* const kRange[] = {"Reliability of first test must range from 0.00 to 1.00",
                                         "Reliability of second test must range from 0.00 to 1.00",
                                         "Correlation between tests must range from 0.00 to 1.00"};
    const QString texts[] = {rxxText, ryyText, rxyText};
    for (int f = 0; f < 3; ++f)
        if (texts[f].isEmpty())
            return {kEmpty[f], f, {}};
    const Decimal x = LeadingNumber(rxxText), y = LeadingNumber(ryyText);
    Decimal a = LeadingNumber(rxyText);
    a.negative = false;
    if (BelowZero(x) || AboveOne(x))
        return {kRange[0], 0, {}};
    if (BelowZero(y) || AboveOne(y))
        return {kRange[1], 1, {}};
    if (AboveOne(a))
        return {kRange[2], 2, {}};

    // All three lie in [0, 1]; on a common scale they are whole numbers, and
    // Rd = (X + Y - 2A) / (2 (one - A)).
    const std::int64_t scale = std::min({std::int64_t{0}, x.exponent, y.exponent, a.exponent});
    const Big X = Scaled(x, scale), Y = Scaled(y, scale), A = Scaled(a, scale);
    const Big one = Big::Digits("1", -scale);
    const Big sum = X + Y, twoA = A + A;
    if (Compare(A, one) == 0)  // nothing to divide by
        return {{}, -1, {Compare(sum, one + one) < 0 ? "-INF" : "NAN"}};
    const bool negative = Compare(sum, twoA) < 0;
    const Big numerator = negative ? twoA - sum : sum - twoA;
    const Big denominator = (one - A) + (one - A);

    // |Rd| x 10^4 = q + r / denominator; |Rd| <= 10^5, since 1 - |Rxy| >= 0.00001 in six characters.
    const Big scaled = numerator * 10000u;
    std::uint32_t q = 0;
    for (int bit = 31; bit >= 0; --bit) {
        const std::uint32_t candidate = q | (std::uint32_t{1} << bit);
        if (Compare(denominator * candidate, scaled) <= 0)
            q = candidate;
    }
    const Big twiceRest = (scaled - denominator * q) + (scaled - denominator * q);
    const int side = Compare(twiceRest, denominator);  // below, at or above the tie
    // Each input and each step of the program's doubles is off by at most
    // u = 2^-53 of itself, which puts its Rd within 5u (1 + |Rd|) / (1 - |Rxy|)
    // of the exact value; a hair is some eight times that.
    const double rd = Ratio(numerator, denominator), oneLessA = Ratio(one - A, one);
    const double hair = 4e-15 * (1 + rd) / oneLessA * 1e4;  // in units of the fourth decimal
    const double fromTie = side < 0 ? Ratio(denominator - twiceRest, denominator)
                                    : Ratio(twiceRest - denominator, denominator);
    Outcome o;
    if (side < 0 || fromTie <= 2 * hair)
        o.shown << Written(negative, q);
    if (side >= 0 || fromTie <= 2 * hair)
        o.shown << Written(negative, std::uint64_t{q} + 1);
    return o;
}

// ------------------------------------------------------------ line editors

// The key scheme of the platform's theme, which decides where the caret goes
// when an arrow key meets a selection.
bool WindowsKeys()
{
    static const bool windows = [] {
        QLineEdit probe(QStringLiteral("abc"));
        probe.setSelection(0, 2);
        QTest::keyClick(&probe, Qt::Key_Left);
        return probe.cursorPosition() == 1;  // moved from the caret, not to the selection's start
    }();
    return windows;
}

// A line editor as Qt's QLineEdit behaves: its text, caret and selection,
// and its undo history, whose steps group as Qt groups them when undoing.
class Line {
public:
    explicit Line(bool readOnly = false) : readOnly_(readOnly) {}

    const QString& Text() const { return text_; }
    int Size() const { return static_cast<int>(text_.size()); }
    int Caret() const { return caret_; }
    bool ReadOnly() const { return readOnly_; }
    bool HasSelection() const { return !text_.isEmpty() && selEnd_ > selStart_; }
    int SelectionStart() const { return HasSelection() ? selStart_ : -1; }
    QString Selected() const { return HasSelection() ? text_.mid(selStart_, selEnd_ - selStart_) : QString(); }
    bool CanUndo() const { return !readOnly_ && done_ > 0; }

    // The program writes the whole text: the history goes, the caret stands at the start.
    void Write(const QString& text)
    {
        text_ = text;
        history_.clear();
        done_ = 0;
        caret_ = selStart_ = selEnd_ = 0;
    }
    void Deselect() { selStart_ = selEnd_ = 0; }
    void MoveTo(int pos, bool extend)
    {
        if (pos != caret_)
            separate_ = true;
        if (extend) {
            const bool selected = selEnd_ > selStart_;
            const int anchor = selected && caret_ == selStart_ ? selEnd_ : selected && caret_ == selEnd_ ? selStart_ : caret_;
            selStart_ = std::min(anchor, pos);
            selEnd_ = std::max(anchor, pos);
        } else {
            Deselect();
        }
        caret_ = pos;
    }
    void SelectAll()
    {
        caret_ = selStart_ = selEnd_ = 0;
        MoveTo(Size(), true);
    }
    // Typed or committed text: it replaces the selection and stops at the limit.
    void Type(const QString& s)
    {
        RemoveSelected();
        InsertAtCaret(s);
    }
    void Paste(const QString& clip)
    {
        if (clip.isEmpty() && !HasSelection())
            return;
        separate_ = true;
        Type(clip);
        separate_ = true;
    }
    void Backspace()
    {
        if (HasSelection())
            return RemoveSelected();
        if (caret_ == 0)
            return;
        --caret_;
        if (caret_ > 0 && text_[caret_].isLowSurrogate() && text_[caret_ - 1].isHighSurrogate()) {
            DeleteAtCaret(kRemove);
            --caret_;
        }
        DeleteAtCaret(kRemove);
    }
    void Delete()
    {
        if (HasSelection())
            return RemoveSelected();
        for (int n = Next(caret_) - caret_; n > 0; --n)
            DeleteAtCaret(kDelete);
    }
    void Undo()
    {
        if (!CanUndo())
            return;
        Deselect();
        while (done_ > 0) {
            const Step s = history_[static_cast<std::size_t>(--done_)];
            switch (s.kind) {
            case kInsert:
                text_.remove(s.pos, 1);
                caret_ = s.pos;
                break;
            case kSetSelection:
                selStart_ = s.selStart;
                selEnd_ = s.selEnd;
                caret_ = s.pos;
                break;
            case kRemove:
            case kRemoveSelection:
                text_.insert(s.pos, s.c);
                caret_ = s.pos + 1;
                break;
            case kDelete:
            case kDeleteSelection:
                text_.insert(s.pos, s.c);
                caret_ = s.pos;
                break;
            case kSeparator:
                continue;
            }
            // One undo takes back a run of steps of one kind, up to a separator.
            if (done_ > 0) {
                const Kind before = history_[static_cast<std::size_t>(done_ - 1)].kind;
                if (before != s.kind && before < kRemoveSelection && (s.kind < kRemoveSelection || before == kSeparator))
                    break;
            }
        }
    }
    // Caret positions step over a surrogate pair, and over CR LF, as one.
    int Next(int pos) const
    {
        if (pos >= Size())
            return Size();
        const bool pair = pos + 1 < Size() && ((text_[pos].isHighSurrogate() && text_[pos + 1].isLowSurrogate()) ||
                                               (text_[pos] == u'\r' && text_[pos + 1] == u'\n'));
        return pos + (pair ? 2 : 1);
    }
    int Previous(int pos) const
    {
        if (pos <= 0)
            return 0;
        const bool pair = pos >= 2 && ((text_[pos - 2].isHighSurrogate() && text_[pos - 1].isLowSurrogate()) ||
                                       (text_[pos - 2] == u'\r' && text_[pos - 1] == u'\n'));
        return pos - (pair ? 2 : 1);
    }
    // The arrow keys; with a selection the caret moves on from where it is, or
    // (other key schemes) leaves the selection at its near end.
    void Arrow(bool forward, bool extend)
    {
        if (!extend && HasSelection() && !WindowsKeys())
            return MoveTo(forward ? selEnd_ : selStart_, false);
        MoveTo(forward ? Next(caret_) : Previous(caret_), extend);
    }

private:
    // In this order: a removal undone puts the caret after the character, a deletion before it.
    enum Kind { kSeparator, kInsert, kRemove, kDelete, kRemoveSelection, kDeleteSelection, kSetSelection };
    struct Step {
        Kind kind;
        int pos;
        QChar c;
        int selStart, selEnd;
    };

    void Record(const Step& s)
    {
        history_.resize(static_cast<std::size_t>(done_));
        if (separate_ && done_ > 0 && history_.back().kind != kSeparator)
            history_.push_back({kSeparator, caret_, {}, selStart_, selEnd_});
        separate_ = false;
        history_.push_back(s);
        done_ = static_cast<int>(history_.size());
    }
    void RemoveSelected()
    {
        if (selStart_ >= selEnd_ || selEnd_ > Size())
            return;
        separate_ = true;
        Record({kSetSelection, caret_, {}, selStart_, selEnd_});
        if (selStart_ <= caret_ && caret_ < selEnd_) {
            for (int i = caret_; i >= selStart_; --i)
                Record({kDeleteSelection, i, text_[i], -1, 1});
            for (int i = selEnd_ - 1; i > caret_; --i)
                Record({kDeleteSelection, i - caret_ + selStart_ - 1, text_[i], -1, -1});
        } else {
            for (int i = selEnd_ - 1; i >= selStart_; --i)
                Record({kRemoveSelection, i, text_[i], -1, -1});
        }
        text_.remove(selStart_, selEnd_ - selStart_);
        if (caret_ > selStart_)
            caret_ -= std::min(caret_, selEnd_) - selStart_;
        Deselect();
    }
    void InsertAtCaret(const QString& s)
    {
        if (HasSelection())
            Record({kSetSelection, caret_, {}, selStart_, selEnd_});
        const int room = kLimit - Size();
        if (room == 0)
            return;
        const QString part = s.left(room);
        text_.insert(caret_, part);
        for (const QChar c : part)
            Record({kInsert, caret_++, c, -1, -1});
    }
    void DeleteAtCaret(Kind kind)
    {
        if (caret_ >= Size())
            return;
        if (HasSelection())
            Record({kSetSelection, caret_, {}, selStart_, selEnd_});
        Record({kind, caret_, text_[caret_], -1, -1});
        text_.remove(caret_, 1);
    }

    static constexpr int kLimit = 6;  // the coefficient fields' LimitText
    QString text_;
    int caret_ = 0, selStart_ = 0, selEnd_ = 0;
    bool readOnly_;
    std::vector<Step> history_;
    int done_ = 0;
    bool separate_ = false;
};

// ------------------------------------------------------------------ actions

enum Wnd { kCalc, kAbout, kHelp, kNoWindow };
const char* const kWindowNames[] = {"calculator", "About", "help", "none"};
const char* const kRegistryNames[] = {"ControlWnd.ControlWnd", "AboutWnd.AboutWnd", "helpWnd.helpWnd"};

enum Fld { kRxx, kRyy, kRxy, kRd };
const char* const kFieldNames[] = {"RxxFld", "RyyFld", "RxyFld", "RdFld"};

enum Item { kUndo, kCut, kCopy, kPaste, kClear, kSelectAll };
struct EditItem {
    const char* caption;
    Qt::Key accessKey;  // Key_unknown: none
};
const EditItem kItems[] = {{"&Undo", Qt::Key_U}, {"Cu&t", Qt::Key_T},     {"&Copy", Qt::Key_C},
                           {"&Paste", Qt::Key_P}, {"Clear", Qt::Key_unknown}, {"Select &All", Qt::Key_A}};

// A key as a keyboard sends it: the key, the modifiers held, the text it types.
struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    QString text;
};

enum class Act {
    Key,         // a key pressed in the active window (the calculator's focused field, or About)
    Commit,      // an input method commits a text into the focused field
    ClickField,  // a click into a field, somewhere along its text
    Background,  // a click on the calculator where nothing is
    Compute,
    Clear,
    Logo,
    Help,
    MenuByMouse,  // an Edit item chosen with the mouse
    MenuByKeys,   // the Edit menu opened with Alt+E, the item chosen by its access key
    Clipboard,    // another program puts a text on the clipboard
    PressAbout,   // a press in the About window
    Raise,        // a window's title bar clicked: it comes forward
    Close,        // a window's close button
    Coefficient,  // what a user mostly does: a field clicked, its text selected, a coefficient typed over it
};

struct Action {
    Act act = Act::Key;
    int window = kCalc;
    int field = kRxx;
    int at = 0;  // ClickField: the caret position under the pointer
    int x = 0;   // ClickField, PressAbout: where, across the target
    Key key{};
    QString text;
    int item = kUndo;
};

// How often each kind comes, out of the sum.
const std::pair<Act, int> kActions[] = {
    {Act::Key, 24},        {Act::Commit, 3},   {Act::ClickField, 6}, {Act::Background, 2},  {Act::Compute, 12},
    {Act::Clear, 2},       {Act::Logo, 3},     {Act::Help, 2},       {Act::MenuByMouse, 5}, {Act::MenuByKeys, 5},
    {Act::Clipboard, 4},   {Act::PressAbout, 3}, {Act::Raise, 4},    {Act::Close, 2},  {Act::Coefficient, 24},
};

// The window an action happens in, which the user's click brings forward first.
int WindowOf(const Action& a)
{
    switch (a.act) {
    case Act::Key:
    case Act::Raise:
        return a.window;
    case Act::PressAbout:
        return kAbout;
    case Act::Clipboard:
    case Act::Close:
        return kNoWindow;
    default:
        return kCalc;
    }
}

QString Shown(const QString& text)
{
    QString s;
    for (const QChar c : text)
        s += c.unicode() < 32 || (c.unicode() > 127 && (c.isSpace() || !c.isPrint()))
                 ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0')) : QString(c);
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString Describe(const Action& a)
{
    const QString window = QString::fromLatin1(kWindowNames[a.window]);
    const QString field = QString::fromLatin1(kFieldNames[a.field]);
    switch (a.act) {
    case Act::Key: {
        const QString chord = QKeySequence(a.key.mods | a.key.key).toString();
        return QStringLiteral("key %1 %2 in the %3").arg(chord, Shown(a.key.text), window);
    }
    case Act::Commit:
        return QStringLiteral("input method commits %1").arg(Shown(a.text));
    case Act::ClickField:
        return QStringLiteral("click into %1 at %2 (caret %3)").arg(field).arg(a.x).arg(a.at);
    case Act::Background:
        return QStringLiteral("click on the calculator's background");
    case Act::Compute:
        return QStringLiteral("press Compute");
    case Act::Clear:
        return QStringLiteral("press Clear");
    case Act::Logo:
        return QStringLiteral("press the logo");
    case Act::Help:
        return QStringLiteral("press Help");
    case Act::MenuByMouse:
        return QStringLiteral("Edit > %1 by the mouse").arg(QString::fromLatin1(kItems[a.item].caption));
    case Act::MenuByKeys:
        return QStringLiteral("Alt+E, %1 from the keyboard").arg(QString::fromLatin1(kItems[a.item].caption));
    case Act::Clipboard:
        return QStringLiteral("clipboard := %1").arg(Shown(a.text));
    case Act::PressAbout:
        return QStringLiteral("press in the About window at %1").arg(a.x);
    case Act::Raise:
        return QStringLiteral("bring the %1 window forward").arg(window);
    case Act::Close:
        return QStringLiteral("close the %1 window").arg(window);
    case Act::Coefficient:
        break;
    }
    return {};
}

// -------------------------------------------------------------------- model

bool ModifierAlone(Qt::Key key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta;
}

// Keys the field keeps for itself, unseen by its key filter.
bool EditingKey(Qt::Key key)
{
    static const Qt::Key keys[] = {Qt::Key_Home, Qt::Key_End,   Qt::Key_Insert, Qt::Key_PageUp, Qt::Key_PageDown,
                                   Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,     Qt::Key_Down,   Qt::Key_Delete};
    return std::find(std::begin(keys), std::end(keys), key) != std::end(keys);
}

// The character code a key stands for whatever its text, or 0.
int ControlCode(Qt::Key key)
{
    static const std::pair<Qt::Key, int> codes[] = {{Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},    {Qt::Key_Backtab, 9},
                                                    {Qt::Key_Return, 13},   {Qt::Key_Enter, 13}, {Qt::Key_Escape, 27}};
    for (const auto& [k, code] : codes)
        if (k == key)
            return code;
    return 0;
}

int FirstCode(const QString& text)
{
    return text.isEmpty() ? 0 : static_cast<int>(text.toUcs4().front());
}

// The coefficient fields' filter: digits, the point, backspace and tab (and
// the minus sign in RxyFld). RdFld has none.
bool Admits(int field, int code)
{
    if (field == kRd)
        return true;
    return (code >= '0' && code <= '9') || code == 8 || code == 9 || code == '.' || (field == kRxy && code == '-');
}

// What the program and the platform do, as this file understands them.
class Model {
public:
    bool live[3] = {}, shown[3] = {};
    int active = kNoWindow;
    std::array<Line, 4> field{Line(), Line(), Line(), Line(true)};
    int focus = -1;          // the calculator's focused field
    bool result = false;     // RdFld with RdText
    QStringList rdChoices;   // what RdFld may show after the last Compute
    QString clipboard;
    QStringList messages;    // shown by the last action
    int beeps = 0;           // one for each refused key or commit

    // Start-up: the splash shows the About window.
    void Start() { Show(kAbout); }

    // The end of the splash's wait: About hidden (built afresh if the user
    // closed it), the calculator shown (built if need be).
    void SplashEnds()
    {
        messages.clear();
        live[kAbout] = true;
        Hide(kAbout);
        Show(kCalc);
    }

    bool Enabled(int item) const
    {
        if (focus < 0)
            return false;
        const Line& f = field[static_cast<std::size_t>(focus)];
        switch (item) {
        case kUndo:
            return f.CanUndo();
        case kCut:
        case kClear:
            return !f.ReadOnly() && f.HasSelection();
        case kCopy:
            return f.HasSelection();
        case kPaste:
            return !f.ReadOnly() && !clipboard.isEmpty();
        default:
            return !f.Text().isEmpty();
        }
    }

    void Apply(const Action& a)
    {
        messages.clear();
        if (WindowOf(a) != kNoWindow)
            active = WindowOf(a);
        switch (a.act) {
        case Act::Key:
            if (a.window == kAbout)
                AboutKey(a.key);
            else
                CalcKey(a.key);
            break;
        case Act::Commit:
            for (const uint c : a.text.toUcs4())
                if (!Admits(focus, static_cast<int>(c))) {
                    ++beeps;
                    return;  // one character refused drops the whole commit
                }
            Focused().Type(a.text);
            break;
        case Act::ClickField:
            FocusTo(a.field, Qt::MouseFocusReason);
            Focused().MoveTo(a.at, false);
            break;
        case Act::Compute:
            Compute();
            break;
        case Act::Clear:
            EmptyForm();
            break;
        case Act::Logo:
            Show(kAbout);
            break;
        case Act::Help:
            Show(kHelp);
            break;
        case Act::MenuByMouse:
        case Act::MenuByKeys:
            if (Enabled(a.item))
                Edit(a.item);
            break;
        case Act::Clipboard:
            clipboard = a.text;
            break;
        case Act::PressAbout:
            AboutGoes();
            break;
        case Act::Close:
            live[a.window] = false;
            Hide(a.window);
            break;
        case Act::Background:  // nothing there but the window
        case Act::Raise:
        case Act::Coefficient:
            break;
        }
    }

private:
    Line& Focused() { return field[static_cast<std::size_t>(focus)]; }

    // The four fields empty, the result hidden, the focus in the first field:
    // after Clear, and in a calculator built anew (where the platform puts it).
    void EmptyForm()
    {
        for (Line& f : field)
            f.Write(QString());
        focus = kRxx;
        result = false;
        rdChoices.clear();
    }

    // A window shown comes forward.
    void Show(int w)
    {
        if (!live[w] && w == kCalc)
            EmptyForm();
        live[w] = shown[w] = true;
        active = w;
    }
    // Nothing else comes forward when the active window goes.
    void Hide(int w)
    {
        shown[w] = false;
        if (active == w)
            active = kNoWindow;
    }

    void AboutGoes()
    {
        Hide(kAbout);
        Show(kCalc);
    }

    void AboutKey(const Key& k)
    {
        if (ModifierAlone(k.key))
            return;
        // The Edit shortcuts work in every window: here they find no field and do nothing.
        static const Qt::Key shortcuts[] = {Qt::Key_Z, Qt::Key_X, Qt::Key_C, Qt::Key_V, Qt::Key_A};
        if (k.mods == Qt::ControlModifier && std::find(std::begin(shortcuts), std::end(shortcuts), k.key) != std::end(shortcuts))
            return;
        AboutGoes();
    }

    // A focus change: the field left drops its selection unless the window
    // merely lost the activation; a field reached by Tab selects all.
    void FocusTo(int f, Qt::FocusReason reason)
    {
        if (f == focus)
            return;
        if (focus >= 0 && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            Focused().Deselect();
        focus = f;
        if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && !Focused().HasSelection())
            Focused().SelectAll();
    }

    // Whether the field's key filter refuses the key: a beep, and nothing else. It
    // sees what would type a character, and backspace, tab, return and escape;
    // not the editing keys, nor the field's own Ctrl chords.
    bool Refused(const Key& k) const
    {
        const bool ownChord = k.mods == Qt::ControlModifier || k.mods == (Qt::ControlModifier | Qt::ShiftModifier);
        if (EditingKey(k.key))
            return false;
        if (const int code = ControlCode(k.key))
            return !ownChord && !Admits(focus, code);
        if (k.text.isEmpty() || (ownChord && k.text.front().category() != QChar::Other_Format))
            return false;
        return !Admits(focus, FirstCode(k.text));
    }

    void CalcKey(const Key& k)
    {
        if (focus < 0 || ModifierAlone(k.key))
            return;
        if (Refused(k)) {
            ++beeps;
            return;
        }
        if ((k.key == Qt::Key_Tab || k.key == Qt::Key_Backtab) && !(k.mods & (Qt::ControlModifier | Qt::AltModifier))) {
            const bool forward = k.key == Qt::Key_Tab && !(k.mods & Qt::ShiftModifier);
            std::vector<int> order{kRxx, kRyy, kRxy};
            if (result)
                order.insert(order.begin(), kRd);
            const auto n = static_cast<int>(order.size());
            const int i = static_cast<int>(std::find(order.begin(), order.end(), focus) - order.begin());
            FocusTo(order[static_cast<std::size_t>((i + (forward ? 1 : n - 1)) % n)],
                    forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
        FieldKey(Focused(), k);
    }

    // What QLineEdit does with a key it is given.
    void FieldKey(Line& f, const Key& k)
    {
        const QKeyEvent e(QEvent::KeyPress, k.key, k.mods, k.text);
        const bool ro = f.ReadOnly();
        if (k.key == Qt::Key_Return || k.key == Qt::Key_Enter)
            return;
        if (e.matches(QKeySequence::Undo)) {
            f.Undo();
        } else if (e.matches(QKeySequence::SelectAll)) {
            f.SelectAll();
        } else if (e.matches(QKeySequence::Copy)) {
            Copy(f);
        } else if (e.matches(QKeySequence::Paste)) {
            if (!ro)
                f.Paste(clipboard);
        } else if (e.matches(QKeySequence::Cut)) {
            if (!ro && f.HasSelection()) {
                Copy(f);
                f.Delete();
            }
        } else if (e.matches(QKeySequence::MoveToStartOfLine) || e.matches(QKeySequence::MoveToStartOfBlock)) {
            f.MoveTo(0, false);
        } else if (e.matches(QKeySequence::MoveToEndOfLine) || e.matches(QKeySequence::MoveToEndOfBlock)) {
            f.MoveTo(f.Size(), false);
        } else if (e.matches(QKeySequence::SelectStartOfLine) || e.matches(QKeySequence::SelectStartOfBlock)) {
            f.MoveTo(0, true);
        } else if (e.matches(QKeySequence::SelectEndOfLine) || e.matches(QKeySequence::SelectEndOfBlock)) {
            f.MoveTo(f.Size(), true);
        } else if (e.matches(QKeySequence::MoveToNextChar) || e.matches(QKeySequence::SelectNextChar)) {
            f.Arrow(true, e.matches(QKeySequence::SelectNextChar));
        } else if (e.matches(QKeySequence::MoveToPreviousChar) || e.matches(QKeySequence::SelectPreviousChar)) {
            f.Arrow(false, e.matches(QKeySequence::SelectPreviousChar));
        } else if (e.matches(QKeySequence::Delete)) {
            if (!ro)
                f.Delete();
        } else if (k.key == Qt::Key_Backspace && !(k.mods & Qt::ControlModifier)) {
            if (!ro)
                f.Backspace();
        } else if (!ro && Typable(k)) {
            f.Type(k.text);
        }
    }

    // A key that types its text: a printable first character, no Ctrl chord.
    static bool Typable(const Key& k)
    {
        if (k.text.isEmpty())
            return false;
        const QChar c = k.text.front();
        if (c.category() == QChar::Other_Format)
            return true;
        if (k.mods == Qt::ControlModifier || k.mods == (Qt::ControlModifier | Qt::ShiftModifier))
            return false;
        return c.isPrint() || c.category() == QChar::Other_PrivateUse ||
               (c.isHighSurrogate() && k.text.size() > 1 && k.text[1].isLowSurrogate());
    }

    void Copy(const Line& f)
    {
        if (f.HasSelection())
            clipboard = f.Selected();
    }

    void Edit(int item)
    {
        Line& f = Focused();
        switch (item) {
        case kUndo:
            f.Undo();
            break;
        case kCut:
            Copy(f);
            f.Delete();
            break;
        case kCopy:
            Copy(f);
            break;
        case kPaste:
            f.Paste(clipboard);
            break;
        case kClear:
            f.Delete();
            break;
        case kSelectAll:
            f.SelectAll();
            break;
        }
    }

    void Compute()
    {
        const Outcome o = Predict(field[kRxx].Text(), field[kRyy].Text(), field[kRxy].Text());
        if (!o.message.isEmpty()) {
            // Once the box is answered the calculator is active again, and the
            // field left behind drops its selection as on any other move.
            messages << o.message;
            FocusTo(o.focus, Qt::OtherFocusReason);
            return;
        }
        result = true;
        rdChoices = o.shown;
        field[kRd].Write(o.shown.front());
    }
};

// ------------------------------------------------------------------- storm

const std::vector<long> kSeeds = {20261207, 1013, 4242};

long EnvNumber(const char* name, long fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::strtol(v, nullptr, 10) : fallback;
}

fw::Window* LiveWindow(int w)
{
    return fw::GetImplicitWindow(kRegistryNames[w]);
}

QMainWindow* FrameOf(int w)
{
    fw::Window* window = LiveWindow(w);
    return window ? window->Frame() : nullptr;
}

QLineEdit* Editor(int f)
{
    return LiveWindow(kCalc)->ControlNamed<fw::EditField>(QString::fromLatin1(kFieldNames[f])).LineEdit();
}

QMenu* EditMenu()
{
    return FrameOf(kCalc)->menuBar()->actions()[1]->menu();
}

QAction* EditAction(int item)
{
    for (QAction* a : EditMenu()->actions())
        if (a->text() == QLatin1String(kItems[item].caption))
            return a;
    return nullptr;
}

void FromTheLoop(std::function<void()> fn)
{
    QTimer::singleShot(0, qApp, [fn] { fw::LoopRunning() ? fn() : FromTheLoop(fn); });
}

class Storm {
public:
    Storm(long seed, long actions) : seed_(seed), total_(actions), rng_(static_cast<std::uint64_t>(seed))
    {
        splashActions_ = Pick(6);
    }

    long done = 0;
    bool failed = false;
    bool quit = false;
    int results = 0, messages = 0, ties = 0;
    std::set<QString> texts;

    // The splash reads the tick counter on every pass of its wait: a few
    // actions happen during the wait, then three seconds pass at once.
    std::int32_t Tick()
    {
        if (reads_++ == 0) {
            model_.Start();
            Settle();
            Compare("start-up");
            return 0;
        }
        if (splashActions_ > 0 && !failed && Possible()) {
            --splashActions_;
            Step();
            return 0;
        }
        splashActions_ = 0;
        return 180;
    }

    // From the event loop: the splash has ended; the rest of the actions, then Quit.
    void Run()
    {
        model_.SplashEnds();
        Settle();
        Compare("the splash ends");
        while (!failed && done < total_)
            Step();
        if (failed) {
            fw::Quit();
            return;
        }
        Quit();
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(int in) { return Pick(in) == 0; }
    template <class T, std::size_t N>
    const T& Any(const T (&items)[N]) { return items[static_cast<std::size_t>(Pick(static_cast<int>(N)))]; }

    // Something can be done: a window is there to act on.
    bool Possible() const { return model_.shown[kCalc] || model_.shown[kAbout] || model_.shown[kHelp]; }

    void Step()
    {
        Action a = Choose();
        Perform(a);
        model_.Apply(a);
        ++done;
        if (a.act == Act::Compute) {
            ++(model_.messages.isEmpty() ? results : messages);
            ties += model_.rdChoices.size() > 1 ? 1 : 0;
            if (model_.messages.isEmpty())
                texts.insert(model_.rdChoices.join('|'));
        }
        recent_.push_back(QStringLiteral("%1: %2").arg(done).arg(Describe(a)));
        if (recent_.size() > 16)
            recent_.pop_front();
        Settle();
        Compare("");
    }

    // ------------------------------------------------------------ choosing

    Action Choose()
    {
        if (!plan_.empty()) {
            const Action a = plan_.front();
            plan_.pop_front();
            if (model_.shown[kCalc])
                return a;
            plan_.clear();
        }
        int sum = 0;
        for (const auto& [act, weight] : kActions)
            sum += weight;
        for (;;) {
            int roll = Pick(sum);
            Act act = Act::Key;
            for (const auto& [kind, weight] : kActions)
                if ((roll -= weight) < 0) {
                    act = kind;
                    break;
                }
            Action a;
            a.act = act;
            if (act == Act::Coefficient && model_.shown[kCalc] && model_.focus >= 0)
                return PlanCoefficient();
            if (Ready(a))
                return a;
        }
    }

    // A field clicked, its text selected (three ways), a coefficient typed
    // key by key over it, or pasted (four ways): the steps are actions of their own.
    Action PlanCoefficient()
    {
        const auto then = [this](Act act, int item = kUndo) {
            Action a;
            a.act = act;
            a.item = item;
            plan_.push_back(a);
            return &plan_.back();
        };
        const auto key = [&](Qt::Key k, Qt::KeyboardModifiers mods, const QString& text) {
            then(Act::Key)->key = {k, mods, text};
        };
        const int f = Pick(3);
        const bool pasted = Chance(4);
        if (pasted)
            then(Act::Clipboard)->text = QString::fromUtf8(Any(kNumberTexts));
        Action* click = then(Act::ClickField);
        click->field = f;
        click->x = Pick(80);
        switch (Pick(3)) {
        case 0:
            key(Qt::Key_A, Qt::ControlModifier, "a");
            break;
        case 1:
            key(Qt::Key_End, {}, "");
            key(Qt::Key_Home, Qt::ShiftModifier, "");
            break;
        default:
            then(Act::MenuByKeys, kSelectAll);
        }
        if (pasted) {
            switch (Pick(4)) {
            case 0:
                key(Qt::Key_V, Qt::ControlModifier, "v");
                break;
            case 1:
                key(Qt::Key_Insert, Qt::ShiftModifier, "");
                break;
            default:
                then(Chance(2) ? Act::MenuByMouse : Act::MenuByKeys, kPaste);
            }
        }
        for (const QChar c : pasted ? QString() : AnyCoefficient(f)) {
            const Qt::Key k = c == u'.' ? Qt::Key_Period : c == u'-' ? Qt::Key_Minus
                                                                     : static_cast<Qt::Key>(Qt::Key_0 + c.digitValue());
            key(k, {}, QString(c));
        }
        const Action first = plan_.front();
        plan_.pop_front();
        return first;
    }

    // Mostly coefficients in range, the kinds of the tests' tables, some out of range.
    QString AnyCoefficient(int field)
    {
        static const char* const usual[] = {".9", ".8", ".85", ".5", "0", "1", ".7", ".75", ".6", ".95", "1.", "0.5"};
        static const char* const unusual[] = {"1.0001", "2", ".", "-", ".99999", "-1", "1e-3", "00.5", "..5", "-.5", "10"};
        switch (Pick(8)) {
        case 0:
        case 1:
            return QString::fromLatin1(Any(usual));
        case 2:
            return QString::fromLatin1(Any(unusual));
        default: {
            QString digits = field == kRxy && Chance(3) ? QStringLiteral("-.") : QStringLiteral(".");
            for (int n = 1 + Pick(5); n > 0 && digits.size() < 6; --n)
                digits += QChar(u'0' + Pick(10));
            return digits;
        }
        }
    }

    // Fills in the action's particulars; false when it cannot be done now.
    bool Ready(Action& a)
    {
        const Model& m = model_;
        const bool calc = m.shown[kCalc] && m.focus >= 0;
        switch (a.act) {
        case Act::Key:
            a.window = m.shown[kAbout] && (!calc || Chance(4)) ? kAbout : kCalc;
            a.key = AnyKey();
            return calc || a.window == kAbout;
        case Act::Commit:
            a.text = QString::fromUtf8(Any(kCommits));
            return calc && m.focus != kRd;
        case Act::ClickField:
            a.field = Pick(m.result ? 4 : 3);
            a.x = Pick(80);
            return calc;
        case Act::Background:
        case Act::Compute:
        case Act::Clear:
        case Act::Logo:
        case Act::Help:
            return calc;
        case Act::MenuByMouse:
        case Act::MenuByKeys:
            a.item = Pick(6);
            return calc;
        case Act::Clipboard:
            a.text = AnyText();
            return true;
        case Act::PressAbout:
            a.x = Pick(4);
            return m.shown[kAbout];
        case Act::Raise:
            a.window = Pick(3);
            return m.shown[a.window];
        case Act::Close:
            // Never the last way back to the calculator: the calculator goes
            // only while About can bring it back, and About only while the
            // calculator is there (or the splash will bring it).
            a.window = Pick(3);
            if (!m.shown[a.window])
                return false;
            if (a.window == kCalc)
                return m.shown[kAbout];
            if (a.window == kAbout)
                return m.shown[kCalc] || splashActions_ > 0;
            return true;
        case Act::Coefficient:
            break;
        }
        return false;
    }

    Key AnyKey()
    {
        static const Key keys[] = {
            // characters the filters let through, and ones they refuse
            {Qt::Key_Period, {}, "."}, {Qt::Key_Minus, {}, "-"}, {Qt::Key_Plus, {}, "+"}, {Qt::Key_Comma, {}, ","},
            {Qt::Key_Space, {}, " "}, {Qt::Key_E, {}, "e"}, {Qt::Key_E, Qt::ShiftModifier, "E"}, {Qt::Key_X, {}, "x"},
            {Qt::Key_Slash, {}, "/"}, {Qt::Key_Eacute, {}, QStringLiteral("\u00e9")},
            {Qt::Key_unknown, {}, QStringLiteral("\u20ac")}, {Qt::Key_division, {}, QStringLiteral("\u00f7")},
            {Qt::Key_unknown, {}, QStringLiteral("\U0001F600")},
            {Qt::Key_unknown, {}, "5x"},  // one key typing two characters: the filter judges the first
            {Qt::Key_5, Qt::AltModifier, "5"}, {Qt::Key_X, Qt::AltModifier, "x"},
            {Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier, "@"},  // AltGr
            // editing, moving, leaving
            {Qt::Key_Backspace, {}, "\b"}, {Qt::Key_Delete, {}, "\x7f"}, {Qt::Key_Tab, {}, "\t"},
            {Qt::Key_Backtab, Qt::ShiftModifier, "\t"}, {Qt::Key_Return, {}, "\r"}, {Qt::Key_Escape, {}, "\x1b"},
            {Qt::Key_Left, {}, ""}, {Qt::Key_Right, {}, ""}, {Qt::Key_Home, {}, ""}, {Qt::Key_End, {}, ""},
            {Qt::Key_Up, {}, ""}, {Qt::Key_Down, {}, ""}, {Qt::Key_PageUp, {}, ""}, {Qt::Key_Insert, {}, ""},
            {Qt::Key_F1, {}, ""}, {Qt::Key_Left, Qt::ShiftModifier, ""}, {Qt::Key_Right, Qt::ShiftModifier, ""},
            {Qt::Key_Home, Qt::ShiftModifier, ""}, {Qt::Key_End, Qt::ShiftModifier, ""},
            {Qt::Key_Shift, Qt::ShiftModifier, ""},
            // the field's own chords: the Edit shortcuts and their older twins
            {Qt::Key_Z, Qt::ControlModifier, "z"}, {Qt::Key_A, Qt::ControlModifier, "a"},
            {Qt::Key_C, Qt::ControlModifier, "c"}, {Qt::Key_X, Qt::ControlModifier, "x"},
            {Qt::Key_V, Qt::ControlModifier, "v"}, {Qt::Key_B, Qt::ControlModifier, "b"},
            {Qt::Key_Insert, Qt::ShiftModifier, ""}, {Qt::Key_Insert, Qt::ControlModifier, ""},
            {Qt::Key_Delete, Qt::ShiftModifier, ""},
        };
        if (Chance(2)) {
            const int d = Pick(10);
            return {static_cast<Qt::Key>(Qt::Key_0 + d), {}, QString::number(d)};
        }
        return Any(keys);
    }

    // Texts the conversion reads in every way it can: blanks, signs, points,
    // exponents, nothing at all.
    static constexpr const char* kNumberTexts[] = {
        ".9", ".8", ".5", "-.5", "1", "0", ".", "-", "1.0001", "2", "..5", "1e-3", "1e999", "1e-999", "  .5", "\t.25",
        "1.0000", "9e-9", ".99999", "1.", "00.5", "+.5", "-1", "5e-1", ".1e1", "1e+0", "1e-", ".5e", "-0", "0e5",
        "5.e-1", "1E0", "-.9999", ".0001", "", "\u00a0.8", "\u2009\u202f.5", "\ufeff-.25", "\u3000\u200b1", "\u00ad.5"};
    static constexpr const char* kCommits[] = {"5", "12", ".5", "-", "9.", "0", "1a", "\u00e9", "\u20ac5", "-.", "7"};

    QString AnyText()
    {
        static const char* const pieces[] = {"0", "1", "2", "5", "7", "9", ".", "-", "+", "e", "E", " ", "\t", "\n",
                                             "\r", "x", "\u00e9", "\u00f7", "\u20ac", "\U0001F600", "\u00b9", "\u00a0",
                                             "\u2060"};
        const int kind = Pick(4);
        if (kind == 0)
            return QString::fromUtf8(Any(kNumberTexts));
        QString text;
        const int length = kind == 3 ? 20 + Pick(60) : Pick(12);
        while (text.size() < length)
            text += QString::fromUtf8(Chance(3) ? Any(kNumberTexts) : Any(pieces));
        return text;
    }

    // ------------------------------------------------------------- driving

    // The window manager brings a window forward when the user clicks it.
    void BringForward(int w)
    {
        QMainWindow* frame = FrameOf(w);
        if (frame && QApplication::activeWindow() != frame) {
            frame->activateWindow();
            Settle();
        }
    }

    QWidget* KeyTarget(int w)
    {
        if (w == kAbout)
            return FrameOf(kAbout);
        QWidget* focus = FrameOf(kCalc)->focusWidget();
        return focus ? focus : FrameOf(kCalc);
    }

    void PressNamed(const char* name)
    {
        Press(LiveWindow(kCalc)->ControlNamed<fw::RectControl>(QString::fromLatin1(name)));
    }

    void Perform(Action& a)
    {
        if (WindowOf(a) != kNoWindow)
            BringForward(WindowOf(a));
        switch (a.act) {
        case Act::Key:
            QTest::sendKeyEvent(QTest::Click, KeyTarget(a.window), a.key.key, a.key.text, a.key.mods);
            break;
        case Act::Commit: {
            QInputMethodEvent commit;
            commit.setCommitString(a.text);
            QCoreApplication::sendEvent(KeyTarget(kCalc), &commit);
            break;
        }
        case Act::ClickField: {
            QLineEdit* line = Editor(a.field);
            const QPoint at(a.x, line->height() / 2);
            a.at = line->cursorPositionAt(at);  // where the platform puts the caret for that pixel
            QTest::mouseClick(line, Qt::LeftButton, {}, at);
            break;
        }
        case Act::Background:
            PressAt(LiveWindow(kCalc)->Content(), QPoint(40, 200));
            break;
        case Act::Compute:
        case Act::Clear:
        case Act::Logo:
        case Act::Help: {
            static const char* const names[] = {"ComputeCanvas", "ClearCanvas", "Canvas1", "Help"};
            PressNamed(names[static_cast<int>(a.act) - static_cast<int>(Act::Compute)]);
            break;
        }
        case Act::MenuByMouse:
        case Act::MenuByKeys:
            ChooseEditItem(a.item, a.act == Act::MenuByMouse);
            break;
        case Act::Clipboard:
            QGuiApplication::clipboard()->setText(a.text);
            break;
        case Act::PressAbout: {
            static const char* const names[] = {"Canvas2", "StaticText1", "Canvas1"};
            fw::Window* about = LiveWindow(kAbout);
            if (a.x == 3)
                PressAt(about->Content(), QPoint(5, 5));
            else
                Press(about->ControlNamed<fw::RectControl>(QString::fromLatin1(names[a.x])));
            break;
        }
        case Act::Close:
            FrameOf(a.window)->close();
            break;
        case Act::Raise:  // the title bar's click is all
        case Act::Coefficient:
            break;
        }
    }

    void ChooseEditItem(int item, bool byMouse)
    {
        QMenuBar* bar = FrameOf(kCalc)->menuBar();
        QAction* edit = bar->actions()[1];
        if (byMouse)
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(edit).center());
        else
            QTest::keyClick(KeyTarget(kCalc), Qt::Key_E, Qt::AltModifier);
        Settle();  // the user looks at the menu; the platform hands it the activation meanwhile
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu != edit->menu()) {
            notes_ << QStringLiteral("the Edit menu did not open");
            return CloseMenus();
        }
        QAction* action = EditAction(item);
        if (byMouse) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        } else if (kItems[item].accessKey != Qt::Key_unknown) {
            QTest::keyClick(menu, kItems[item].accessKey);
        } else {
            // No access key: down from the first entry to this one, past the greyed ones.
            for (int down = 0; down < 8 && menu->activeAction() != action; ++down)
                QTest::keyClick(menu, Qt::Key_Down);
            if (menu->activeAction() == action)
                QTest::keyClick(menu, Qt::Key_Return);
        }
        CloseMenus();
    }

    // A greyed entry leaves its menu open, and the keyboard leaves the bar holding the focus.
    void CloseMenus()
    {
        for (int i = 0; i < 3 && QApplication::activePopupWidget(); ++i)
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        if (QMenuBar* bar = FrameOf(kCalc) ? FrameOf(kCalc)->menuBar() : nullptr; bar && bar->hasFocus())
            QTest::keyClick(bar, Qt::Key_Escape);
    }

    // The user ends the program: Ctrl+Q where the keyboard is, or File > Quit.
    void Quit()
    {
        QTimer::singleShot(3000, qApp, [this] {
            ADD_FAILURE() << "storm seed " << seed_ << ": Quit did not end the program";
            fw::Quit();
        });
        const int w = model_.shown[kCalc] ? kCalc : kAbout;
        BringForward(w);
        if (w == kCalc && Chance(2)) {
            QMenuBar* bar = FrameOf(kCalc)->menuBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[0]).center());
        } else {
            QTest::keyClick(KeyTarget(w), Qt::Key_Q, Qt::ControlModifier);
        }
        quit = true;
    }

    // ----------------------------------------------------------- comparing

    static QString WidgetName(const QWidget* w)
    {
        if (!w)
            return QStringLiteral("none");
        if (LiveWindow(kCalc))
            for (int f = 0; f < 4; ++f)
                if (w == Editor(f))
                    return QString::fromLatin1(kFieldNames[f]);
        if (fw::Window* help = LiveWindow(kHelp))
            if (w == help->ControlNamed<fw::EditField>(QStringLiteral("EditField1")).FocusWidget())
                return QStringLiteral("the help text");
        for (int win = 0; win < 3; ++win)
            if (w == FrameOf(win))
                return QString::fromLatin1(kWindowNames[win]);
        return QStringLiteral("a %1 \"%2\"").arg(QString::fromLatin1(w->metaObject()->className()), w->windowTitle());
    }

    static QString FieldLine(int f, const QString& text, int caret, int selStart, const QString& selected)
    {
        return QStringLiteral("%1 %2, caret %3, selection %4").arg(QString::fromLatin1(kFieldNames[f]), Shown(text)).arg(caret)
            .arg(selStart < 0 ? QStringLiteral("none") : QStringLiteral("%1 %2").arg(selStart).arg(Shown(selected)));
    }

    QStringList Expected()
    {
        const Model& m = model_;
        QStringList lines;
        for (int w = 0; w < 3; ++w)
            lines << QStringLiteral("%1 window: %2").arg(QString::fromLatin1(kWindowNames[w]),
                                                          m.shown[w] ? "shown" : m.live[w] ? "hidden" : "none");
        lines << QStringLiteral("windows on screen: %1").arg(int(m.shown[kCalc]) + int(m.shown[kAbout]) + int(m.shown[kHelp]));
        lines << QStringLiteral("active window: %1").arg(QString::fromLatin1(kWindowNames[m.active]));
        const QString calcFocus = m.focus < 0 ? QStringLiteral("none") : QString::fromLatin1(kFieldNames[m.focus]);
        lines << QStringLiteral("keyboard focus: %1")
                     .arg(m.active == kCalc ? calcFocus : m.active == kHelp ? QStringLiteral("the help text") : QStringLiteral("none"));
        if (m.live[kCalc]) {
            lines << QStringLiteral("calculator's focus: %1").arg(calcFocus);
            for (int f = 0; f < 4; ++f) {
                const Line& l = m.field[static_cast<std::size_t>(f)];
                lines << FieldLine(f, l.Text(), l.Caret(), l.SelectionStart(), l.Selected());
            }
            lines << QStringLiteral("result: %1").arg(m.result ? "shown" : "hidden");
            QStringList enabled;
            for (int item = 0; item < 6; ++item)
                if (m.Enabled(item))
                    enabled << QString::fromLatin1(kItems[item].caption);
            lines << QStringLiteral("Edit items enabled: %1").arg(enabled.join(", "));
        }
        lines << QStringLiteral("clipboard: %1").arg(Shown(m.clipboard));
        lines << QStringLiteral("messages: %1").arg(m.messages.join(" | "));
        lines << QStringLiteral("beeps: %1").arg(m.beeps);
        return lines;
    }

    QStringList Seen()
    {
        QStringList lines;
        int onScreen = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            onScreen += qobject_cast<QMainWindow*>(w) && w->isVisible() ? 1 : 0;
        for (int w = 0; w < 3; ++w)
            lines << QStringLiteral("%1 window: %2").arg(QString::fromLatin1(kWindowNames[w]),
                                                          !FrameOf(w) ? "none" : FrameOf(w)->isVisible() ? "shown" : "hidden");
        lines << QStringLiteral("windows on screen: %1").arg(onScreen);
        lines << QStringLiteral("active window: %1").arg(WidgetName(QApplication::activeWindow()));
        lines << QStringLiteral("keyboard focus: %1").arg(WidgetName(QApplication::focusWidget()));
        if (fw::Window* calc = LiveWindow(kCalc)) {
            lines << QStringLiteral("calculator's focus: %1").arg(WidgetName(calc->Frame()->focusWidget()));
            for (int f = 0; f < 4; ++f) {
                const QLineEdit* l = Editor(f);
                lines << FieldLine(f, l->text(), l->cursorPosition(), l->selectionStart(), l->selectedText());
            }
            const auto shown = [calc](const char* name) {
                return calc->ControlNamed<fw::RectControl>(QString::fromLatin1(name)).Widget()->isVisibleTo(calc->Frame());
            };
            lines << QStringLiteral("result: %1").arg(shown("RdFld") && shown("RdText") ? "shown"
                                                      : !shown("RdFld") && !shown("RdText") ? "hidden" : "half shown");
            emit EditMenu()->aboutToShow();  // as opening the menu sets them
            QStringList enabled;
            for (int item = 0; item < 6; ++item)
                if (EditAction(item)->isEnabled())
                    enabled << QString::fromLatin1(kItems[item].caption);
            lines << QStringLiteral("Edit items enabled: %1").arg(enabled.join(", "));
        }
        lines << QStringLiteral("clipboard: %1").arg(Shown(QGuiApplication::clipboard()->text()));
        lines << QStringLiteral("messages: %1").arg(boxes_.Texts().mid(boxesSeen_).join(" | "));
        for (const QString& look : boxes_.Looks().mid(boxesSeen_))
            if (look != QLatin1String("Tolvane [OK] over Tolvane"))
                lines << QStringLiteral("message box: %1").arg(look);
        boxesSeen_ = static_cast<int>(boxes_.Texts().size());
        lines << QStringLiteral("beeps: %1").arg(fw::BeepCount() - beepsBefore_);
        if (QApplication::activePopupWidget() || QApplication::activeModalWidget())
            lines << QStringLiteral("left open: %1").arg(WidgetName(QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                                                                   : QApplication::activeModalWidget()));
        lines << notes_;
        notes_.clear();
        return lines;
    }

    void Compare(const char* when)
    {
        // Where the result could read two ways, the one shown is the one the model goes on with.
        if (model_.rdChoices.size() > 1 && LiveWindow(kCalc) && model_.rdChoices.contains(Editor(kRd)->text())) {
            model_.rdChoices = QStringList{Editor(kRd)->text()};
            model_.field[kRd].Write(model_.rdChoices.front());
        }
        const QStringList seen = Seen(), expected = Expected();
        QStringList differences;
        for (qsizetype i = 0; i < std::max(seen.size(), expected.size()); ++i) {
            const QString s = seen.value(i, QStringLiteral("(nothing)")), e = expected.value(i, QStringLiteral("(nothing)"));
            if (s != e)
                differences << QStringLiteral("  seen     %1\n  expected %2").arg(s, e);
        }
        if (differences.isEmpty())
            return;
        failed = true;
        if (model_.rdChoices.size() > 1)
            differences << QStringLiteral("  (the result may read %1)").arg(model_.rdChoices.join(" or "));
        ADD_FAILURE() << "storm seed " << seed_ << ", action " << done << (*when ? " (" : "") << when
                      << (*when ? ")" : "") << "; replay with TOLVANE_STORM_SEED=" << seed_
                      << " TOLVANE_STORM_ACTIONS=" << done << "\n"
                      << differences.join("\n").toStdString() << "\nrecent actions:\n  "
                      << QStringList(recent_.begin(), recent_.end()).join("\n  ").toStdString();
    }

    long seed_, total_;
    std::mt19937_64 rng_;
    int splashActions_ = 0;
    int reads_ = 0;
    Model model_;
    MessageBoxWatcher boxes_;
    int boxesSeen_ = 0;
    const int beepsBefore_ = fw::BeepCount();
    QStringList notes_;
    std::deque<QString> recent_;
    std::deque<Action> plan_;
};

}  // namespace

// A few seeds, each a storm in a process of its own. TOLVANE_STORM_SEED
// replays one seed, in the first of them.
class Storms : public testing::TestWithParam<long> {};

TEST_P(Storms, UserActionsFromStartUpToQuit)
{
    const long chosen = EnvNumber("TOLVANE_STORM_SEED", 0);
    if (chosen != 0 && GetParam() != kSeeds.front())
        GTEST_SKIP() << "TOLVANE_STORM_SEED replays one seed, in the first storm";
    const long seed = chosen != 0 ? chosen : GetParam();
    const long actions = EnvNumber("TOLVANE_STORM_ACTIONS", 8000);
    std::cout << "storm seed " << seed << ", " << actions << " actions (TOLVANE_STORM_SEED, TOLVANE_STORM_ACTIONS)\n";
    (void)WindowsKeys();  // learnt before any window of the program is up
    Storm storm(seed, actions);
    fw::SetTickSource([&storm] { return storm.Tick(); });
    FromTheLoop([&storm] { storm.Run(); });
    initialize();
    Main();
    fw::SetTickSource({});
    std::cout << storm.results << " results shown (" << storm.texts.size() << " texts, " << storm.ties
              << " at a tie), " << storm.messages << " messages\n";
    EXPECT_FALSE(storm.failed);
    EXPECT_TRUE(storm.quit);
    EXPECT_EQ(storm.done, actions) << "storm seed " << seed;
}

INSTANTIATE_TEST_SUITE_P(Seeds, Storms, testing::ValuesIn(kSeeds));
