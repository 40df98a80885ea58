#include "data/LiteralLexer.h"

#include <cstring>
#include <limits>

namespace ledgerlift {
namespace {

// The classes of the characters, as SQLite's tokenizer tells them apart.
enum CharClass : std::uint8_t {
    kOther,      // refused by SQLite: the text goes as it is and fails there
    kEnd,        // the NUL that ends the text
    kSpace,      // blank, tab, line break, form feed
    kLetter,     // starts a word: a-z, A-Z, _, and every byte from 0x80
    kDigit,      // 0-9
    kDollar,     // inside a word a letter; at the start a parameter
    kQuote,      // '
    kNameQuote,  // " and ` around a name
    kBracket,    // [ around a name
    kDot,        // .
    kMinus,      // -
    kPlus,       // +
    kSlash,      // /
    kSemicolon,  // ;
    kParameter,  // ? : @ # (a parameter of the text's own)
    kOpen,       // (
    kClose,      // )
    kComma,      // ,
    kOperator,   // = < > ! * % | & ~
};

struct CharTable {
    CharClass cls[256];
    bool word[256];    // may stand inside a word
    bool sticks[256];  // a literal that touches it stays literal
};

constexpr unsigned char Byte(char c) {
    return static_cast<unsigned char>(c);
}

constexpr CharTable MakeTable() {
    CharTable t{};
    for (int c = 0; c < 256; ++c) {
        t.cls[c] = c >= 0x80 ? kLetter : kOther;
    }
    t.cls[0] = kEnd;
    for (int c = 'a'; c <= 'z'; ++c) {
        t.cls[c] = kLetter;
        t.cls[c - 'a' + 'A'] = kLetter;
    }
    t.cls[Byte('_')] = kLetter;
    for (int c = '0'; c <= '9'; ++c) {
        t.cls[c] = kDigit;
    }
    for (char c : {' ', '\t', '\n', '\r', '\f'}) {
        t.cls[Byte(c)] = kSpace;
    }
    t.cls[Byte('$')] = kDollar;
    t.cls[Byte('\'')] = kQuote;
    t.cls[Byte('"')] = kNameQuote;
    t.cls[Byte('`')] = kNameQuote;
    t.cls[Byte('[')] = kBracket;
    t.cls[Byte('.')] = kDot;
    t.cls[Byte('-')] = kMinus;
    t.cls[Byte('+')] = kPlus;
    t.cls[Byte('/')] = kSlash;
    t.cls[Byte(';')] = kSemicolon;
    for (char c : {'?', ':', '@', '#'}) {
        t.cls[Byte(c)] = kParameter;
    }
    t.cls[Byte('(')] = kOpen;
    t.cls[Byte(')')] = kClose;
    t.cls[Byte(',')] = kComma;
    for (char c : {'=', '<', '>', '!', '*', '%', '|', '&', '~'}) {
        t.cls[Byte(c)] = kOperator;
    }
    for (int c = 0; c < 256; ++c) {
        t.word[c] = t.cls[c] == kLetter || t.cls[c] == kDigit || t.cls[c] == kDollar;
        // "'a'5" as "?5" would be a parameter of another number.
        t.sticks[c] = t.word[c] || c == '\'' || c == '"' || c == '`' || c == '[' || c == ']';
    }
    return t;
}

constexpr CharTable kTable = MakeTable();

// Integers of more digits than this stay literal: SQLite reads the larger
// ones as reals, and -9223372036854775808 as a special case.
constexpr std::ptrdiff_t kMaxIntegerDigits = 18;

CharClass ClassOf(char c) {
    return kTable.cls[static_cast<unsigned char>(c)];
}

bool IsWordChar(char c) {
    return kTable.word[static_cast<unsigned char>(c)];
}

bool IsDigit(char c) {
    return ClassOf(c) == kDigit;
}

// Equal without regard to letter case; lower is in lower case. Folding with
// 0x20 maps no character of a word onto a lower-case letter but its
// upper-case one.
bool WordIs(const char* word, std::size_t size, std::string_view lower) {
    if (size != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < size; ++i) {
        if ((word[i] | 0x20) != lower[i]) {
            return false;
        }
    }
    return true;
}

// What the token before the current one was, as far as a following sign
// cares: after an operator, "(" or "," a sign is unary.
enum class Before { Nothing, Word, Value, Operator, Sign };

// One pass over one text, up to its terminating NUL.
class Pass {
  public:
    Pass(const char* sql, bool lift, std::vector<Literal>& out)
        : base_(sql), p_(sql), lift_(lift), out_(out) {}

    // False when the text must go uncached.
    bool Run() {
        for (;;) {
            switch (ClassOf(*p_)) {
                case kEnd:
                    end_ = p_;
                    return true;
                case kSpace:
                    ++p_;
                    break;
                case kMinus:
                    if (p_[1] == '-') {
                        return false;  // a comment
                    }
                    Sign();
                    break;
                case kPlus:
                    Sign();
                    break;
                case kSlash:
                    if (p_[1] == '*') {
                        return false;  // a comment
                    }
                    Operator();
                    break;
                case kOperator:
                case kComma:
                    Operator();
                    break;
                case kSemicolon:
                    return Semicolon();
                case kQuote:
                    if (!String()) {
                        return false;
                    }
                    break;
                case kNameQuote:
                    if (!QuotedName(*p_)) {
                        return false;
                    }
                    break;
                case kBracket:
                    if (!QuotedName(']')) {
                        return false;
                    }
                    break;
                case kDigit:
                    Number();
                    break;
                case kDot:
                    if (IsDigit(p_[1])) {
                        Number();
                    } else {
                        Operator();
                    }
                    break;
                case kLetter:
                    if (!Word()) {
                        return false;
                    }
                    break;
                case kOpen:
                    ++depth_;
                    Operator();
                    break;
                case kClose:
                    if (!Close()) {
                        return false;
                    }
                    break;
                case kDollar:
                case kParameter:
                case kOther:
                    return false;
            }
        }
    }

    // Where the text ended: its NUL.
    std::size_t Length() const { return static_cast<std::size_t>(end_ - base_); }

  private:
    bool Keeping() const { return !lift_ || listDepth_ >= 0 || keepDepth_ >= 0 || keepAll_; }
    bool Glued(const char* begin, const char* end) const {
        return (begin > base_ && kTable.sticks[static_cast<unsigned char>(begin[-1])]) ||
               kTable.sticks[static_cast<unsigned char>(*end)];
    }
    std::uint32_t Offset(const char* p) const { return static_cast<std::uint32_t>(p - base_); }

    void Operator() {
        ++p_;
        before_ = Before::Operator;
    }

    void Sign() {
        signUnary_ = before_ == Before::Operator || before_ == Before::Sign;
        sign_ = *p_;
        signAt_ = p_;
        ++p_;
        before_ = Before::Sign;
    }

    // ";" ends the text when nothing but blanks follows it.
    bool Semicolon() {
        ++p_;
        while (ClassOf(*p_) == kSpace) {
            ++p_;
        }
        if (*p_ != '\0') {
            return false;  // several statements
        }
        end_ = p_;
        return true;
    }

    bool Close() {
        ++p_;
        if (--depth_ < 0) {
            return false;
        }
        // A subquery ends: its select list or ORDER BY ends with it.
        if (depth_ < listDepth_) {
            listDepth_ = -1;
        }
        if (depth_ < keepDepth_) {
            keepDepth_ = -1;
        }
        before_ = Before::Value;
        return true;
    }

    // Skips a quoted name ("a", `a` or [a]); false when it is not closed.
    bool QuotedName(char close) {
        const char* q = p_ + 1;
        for (;;) {
            q = std::strchr(q, close);
            if (!q) {
                return false;
            }
            if (close != ']' && q[1] == close) {
                q += 2;  // a doubled quote inside the name
                continue;
            }
            p_ = q + 1;
            before_ = Before::Word;
            return true;
        }
    }

    // Skips a quoted string from p_; false when it is not closed.
    bool SkipString(bool& doubled) {
        const char* q = p_ + 1;
        for (;;) {
            q = std::strchr(q, '\'');
            if (!q) {
                return false;
            }
            if (q[1] == '\'') {
                doubled = true;
                q += 2;
                continue;
            }
            p_ = q + 1;
            return true;
        }
    }

    bool String() {
        const char* start = p_;
        bool doubled = false;
        if (!SkipString(doubled)) {
            return false;
        }
        if (!Keeping() && !Glued(start, p_)) {
            Literal& l = out_.emplace_back();
            l.kind = Literal::Kind::Text;
            l.doubledQuotes = doubled;
            l.begin = Offset(start);
            l.end = Offset(p_);
            l.valueBegin = l.begin + 1;
            l.valueEnd = l.end - 1;
        }
        before_ = Before::Value;
        return true;
    }

    void Digits() {
        while (IsDigit(*p_)) {
            ++p_;
        }
    }

    void Number() {
        const char* start = p_;
        bool real = false;
        Digits();
        if (*p_ == '.') {
            real = true;
            ++p_;
            Digits();
        }
        if ((*p_ == 'e' || *p_ == 'E') &&
            (IsDigit(p_[1]) || ((p_[1] == '+' || p_[1] == '-') && IsDigit(p_[2])))) {
            real = true;
            p_ += 2;
            Digits();
        }
        const char* end = p_;
        bool liftable = !Keeping() && !Glued(start, end);
        while (IsWordChar(*p_)) {
            ++p_;  // "5a", "0x1F": one token that stays as it is
        }
        if (!real && end - start > kMaxIntegerDigits) {
            liftable = false;
        }
        bool afterSign = before_ == Before::Sign;
        bool ownSign = afterSign && signUnary_ && signAt_ + 1 == start;
        if (afterSign && !ownSign && sign_ == '-' && real) {
            // "- 0.0" folds to -0.0 as a literal, but 0.0 subtracted at run
            // time gives 0.0.
            liftable = false;
        }
        if (liftable) {
            Literal& l = out_.emplace_back();
            l.kind = real ? Literal::Kind::Real : Literal::Kind::Integer;
            l.negative = ownSign && sign_ == '-';
            l.begin = Offset(ownSign ? signAt_ : start);
            l.end = Offset(end);
            l.valueBegin = Offset(start);
            l.valueEnd = Offset(end);
        }
        before_ = Before::Value;
    }

    bool Word() {
        const char* start = p_;
        while (IsWordChar(*p_)) {
            ++p_;
        }
        std::size_t size = static_cast<std::size_t>(p_ - start);
        before_ = Before::Word;
        switch (size) {
            case 1:
                if ((*start == 'x' || *start == 'X') && *p_ == '\'') {
                    bool doubled = false;  // a blob literal, kept as it is
                    before_ = Before::Value;
                    return SkipString(doubled);
                }
                break;
            case 4:
                if (WordIs(start, size, "from") && depth_ == listDepth_) {
                    listDepth_ = -1;
                }
                break;
            case 5:
                if ((WordIs(start, size, "order") || WordIs(start, size, "group")) &&
                    keepDepth_ < 0) {
                    keepDepth_ = depth_;
                }
                break;
            case 6:
                if (WordIs(start, size, "select") && listDepth_ < 0) {
                    listDepth_ = depth_;
                }
                break;
            case 9:
                if (WordIs(start, size, "returning")) {
                    keepAll_ = true;
                }
                break;
            default:
                break;
        }
        return true;
    }

    const char* base_;
    const char* p_;
    const char* end_ = nullptr;
    bool lift_;
    std::vector<Literal>& out_;
    int depth_ = 0;
    int listDepth_ = -1;  // the depth of the select whose list is being read
    int keepDepth_ = -1;  // the depth of the ORDER BY or GROUP BY being read
    bool keepAll_ = false;
    Before before_ = Before::Nothing;
    char sign_ = 0;
    const char* signAt_ = nullptr;
    bool signUnary_ = false;
};

// The first word of the text, or "" when it starts with anything else.
std::string_view FirstWord(const char* sql) {
    const char* p = sql;
    while (ClassOf(*p) == kSpace) {
        ++p;
    }
    if (ClassOf(*p) != kLetter) {
        return {};
    }
    const char* start = p;
    while (IsWordChar(*p)) {
        ++p;
    }
    return {start, static_cast<std::size_t>(p - start)};
}

bool IsAnyOf(std::string_view word, std::initializer_list<std::string_view> lowers) {
    for (std::string_view lower : lowers) {
        if (WordIs(word.data(), word.size(), lower)) {
            return true;
        }
    }
    return false;
}

}  // namespace

TextShape LiteralLexer::Lex(const std::string& sql, std::vector<Literal>& literals,
                            std::string& key) const {
    literals.clear();
    if (sql.size() >= std::numeric_limits<std::uint32_t>::max()) {
        return TextShape::Uncached;
    }
    std::string_view first = FirstWord(sql.c_str());
    bool lift = IsAnyOf(first, {"select", "insert", "update", "delete", "replace"});
    bool asWritten =
        IsAnyOf(first, {"pragma", "savepoint", "release", "rollback", "begin", "commit", "end"});
    if (!lift && !asWritten) {
        return TextShape::Uncached;
    }
    Pass pass(sql.c_str(), lift, literals);
    if (!pass.Run()) {
        literals.clear();
        return TextShape::Uncached;
    }
    // SQLite reads a text up to its first NUL.
    std::string_view text(sql.data(), pass.Length());
    key.clear();
    if (literals.empty()) {
        key.append(text);
        return TextShape::AsWritten;
    }
    std::size_t last = 0;
    for (const Literal& l : literals) {
        key.append(text.substr(last, l.begin - last));
        key += '?';
        last = l.end;
    }
    key.append(text.substr(last));
    return TextShape::Parameterised;
}

}  // namespace ledgerlift
