#include "data/LiteralLexer.h"

#include <array>
#include <limits>

namespace ledgerlift {
namespace {

// The classes of the characters, as SQLite's tokenizer tells them apart.
enum CharClass : std::uint8_t {
    kOther,      // refused by SQLite: the text goes as it is and fails there
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

constexpr std::array<CharClass, 256> MakeClasses() {
    std::array<CharClass, 256> t{};
    for (int c = 0; c < 256; ++c) {
        t[c] = c >= 0x80 ? kLetter : kOther;
    }
    for (int c = 'a'; c <= 'z'; ++c) {
        t[c] = kLetter;
    }
    for (int c = 'A'; c <= 'Z'; ++c) {
        t[c] = kLetter;
    }
    t['_'] = kLetter;
    for (int c = '0'; c <= '9'; ++c) {
        t[c] = kDigit;
    }
    for (char c : {' ', '\t', '\n', '\r', '\f'}) {
        t[static_cast<unsigned char>(c)] = kSpace;
    }
    t['$'] = kDollar;
    t['\''] = kQuote;
    t['"'] = kNameQuote;
    t['`'] = kNameQuote;
    t['['] = kBracket;
    t['.'] = kDot;
    t['-'] = kMinus;
    t['+'] = kPlus;
    t['/'] = kSlash;
    t[';'] = kSemicolon;
    for (char c : {'?', ':', '@', '#'}) {
        t[static_cast<unsigned char>(c)] = kParameter;
    }
    t['('] = kOpen;
    t[')'] = kClose;
    t[','] = kComma;
    for (char c : {'=', '<', '>', '!', '*', '%', '|', '&', '~'}) {
        t[static_cast<unsigned char>(c)] = kOperator;
    }
    return t;
}

constexpr std::array<CharClass, 256> kClasses = MakeClasses();

// Integers of more digits than this stay literal: SQLite reads the larger
// ones as reals, and -9223372036854775808 as a special case.
constexpr std::uint32_t kMaxIntegerDigits = 18;

CharClass ClassOf(char c) {
    return kClasses[static_cast<unsigned char>(c)];
}

bool IsWordChar(char c) {
    CharClass k = ClassOf(c);
    return k == kLetter || k == kDigit || k == kDollar;
}

bool IsDigit(char c) {
    return ClassOf(c) == kDigit;
}

// Equal without regard to letter case; lower is in lower case.
bool WordIs(std::string_view word, std::string_view lower) {
    if (word.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        char c = word[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != lower[i]) {
            return false;
        }
    }
    return true;
}

bool IsAnyOf(std::string_view word, std::initializer_list<std::string_view> lowers) {
    for (std::string_view lower : lowers) {
        if (WordIs(word, lower)) {
            return true;
        }
    }
    return false;
}

// What the token before the current one was, as far as a following sign
// cares: after an operator, "(" or "," a sign is unary.
enum class Before { Nothing, Word, Value, Operator, Sign };

// One pass over one text.
class Pass {
  public:
    Pass(std::string_view sql, bool lift, std::vector<Literal>& out)
        : sql_(sql), lift_(lift), out_(out) {}

    // False when the text must go uncached.
    bool Run() {
        while (i_ < sql_.size()) {
            if (!Token()) {
                return false;
            }
            if (finished_) {
                return true;
            }
        }
        return true;
    }

  private:
    char At(std::size_t i) const { return i < sql_.size() ? sql_[i] : '\0'; }
    bool Keeping() const { return !lift_ || listDepth_ >= 0 || keepDepth_ >= 0 || keepAll_; }
    // A literal that runs straight into a word, a number, a quote or a name
    // stays literal: "?" there would read differently ("'a'5" would become
    // "?5", a parameter of another number).
    static bool Sticks(char c) {
        return IsWordChar(c) || c == '\'' || c == '"' || c == '`' || c == '[' || c == ']';
    }
    bool Glued(std::size_t begin, std::size_t end) const {
        return (begin > 0 && Sticks(sql_[begin - 1])) || Sticks(At(end));
    }

    bool Token() {
        char c = sql_[i_];
        switch (ClassOf(c)) {
            case kSpace:
                ++i_;
                return true;
            case kMinus:
                if (At(i_ + 1) == '-') {
                    return false;  // a comment
                }
                Sign(c);
                return true;
            case kPlus:
                Sign(c);
                return true;
            case kSlash:
                if (At(i_ + 1) == '*') {
                    return false;  // a comment
                }
                Operator();
                return true;
            case kOperator:
                Operator();
                return true;
            case kSemicolon:
                return End();
            case kQuote:
                return String();
            case kNameQuote:
                return QuotedName(c);
            case kBracket:
                return QuotedName(']');
            case kDigit:
                Number();
                return true;
            case kDot:
                if (IsDigit(At(i_ + 1))) {
                    Number();
                } else {
                    ++i_;
                    before_ = Before::Operator;
                }
                return true;
            case kLetter:
                return Word();
            case kOpen:
                ++depth_;
                ++i_;
                before_ = Before::Operator;
                return true;
            case kClose:
                return Close();
            case kComma:
                ++i_;
                before_ = Before::Operator;
                return true;
            case kDollar:
            case kParameter:
            case kOther:
                return false;
        }
        return false;
    }

    void Operator() {
        ++i_;
        before_ = Before::Operator;
    }

    void Sign(char sign) {
        signUnary_ = before_ == Before::Operator || before_ == Before::Sign;
        sign_ = sign;
        signPos_ = i_;
        ++i_;
        before_ = Before::Sign;
    }

    // ";" ends the text when nothing but blanks follows it.
    bool End() {
        for (++i_; i_ < sql_.size(); ++i_) {
            if (ClassOf(sql_[i_]) != kSpace) {
                return false;  // several statements
            }
        }
        finished_ = true;
        return true;
    }

    bool Close() {
        ++i_;
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
        for (++i_; i_ < sql_.size(); ++i_) {
            if (sql_[i_] == close) {
                if (close != ']' && At(i_ + 1) == close) {
                    ++i_;  // a doubled quote inside the name
                    continue;
                }
                ++i_;
                before_ = Before::Word;
                return true;
            }
        }
        return false;
    }

    // Skips a quoted string from i_; false when it is not closed.
    bool SkipString(bool& doubled) {
        for (++i_; i_ < sql_.size(); ++i_) {
            if (sql_[i_] == '\'') {
                if (At(i_ + 1) == '\'') {
                    doubled = true;
                    ++i_;
                    continue;
                }
                ++i_;
                return true;
            }
        }
        return false;
    }

    bool String() {
        std::size_t start = i_;
        bool doubled = false;
        if (!SkipString(doubled)) {
            return false;
        }
        if (!Keeping() && !Glued(start, i_)) {
            Literal l;
            l.kind = Literal::Kind::Text;
            l.doubledQuotes = doubled;
            l.begin = static_cast<std::uint32_t>(start);
            l.end = static_cast<std::uint32_t>(i_);
            l.valueBegin = l.begin + 1;
            l.valueEnd = l.end - 1;
            out_.push_back(l);
        }
        before_ = Before::Value;
        return true;
    }

    void Digits() {
        while (IsDigit(At(i_))) {
            ++i_;
        }
    }

    void Number() {
        std::size_t start = i_;
        bool real = false;
        Digits();
        if (At(i_) == '.') {
            real = true;
            ++i_;
            Digits();
        }
        char e = At(i_);
        if ((e == 'e' || e == 'E') &&
            (IsDigit(At(i_ + 1)) ||
             ((At(i_ + 1) == '+' || At(i_ + 1) == '-') && IsDigit(At(i_ + 2))))) {
            real = true;
            i_ += 2;
            Digits();
        }
        std::size_t end = i_;
        bool liftable = !Keeping() && !Glued(start, end);
        while (IsWordChar(At(i_))) {
            ++i_;  // "5a", "0x1F": one token that stays as it is
        }
        if (!real && end - start > kMaxIntegerDigits) {
            liftable = false;
        }
        bool afterSign = before_ == Before::Sign;
        bool ownSign = afterSign && signUnary_ && signPos_ + 1 == start;
        if (afterSign && !ownSign && sign_ == '-' && real) {
            // "- 0.0" folds to -0.0 as a literal, but 0.0 subtracted at run
            // time gives 0.0.
            liftable = false;
        }
        if (liftable) {
            Literal l;
            l.kind = real ? Literal::Kind::Real : Literal::Kind::Integer;
            l.negative = ownSign && sign_ == '-';
            l.begin = static_cast<std::uint32_t>(ownSign ? signPos_ : start);
            l.end = static_cast<std::uint32_t>(end);
            l.valueBegin = static_cast<std::uint32_t>(start);
            l.valueEnd = static_cast<std::uint32_t>(end);
            out_.push_back(l);
        }
        before_ = Before::Value;
    }

    bool Word() {
        std::size_t start = i_;
        while (IsWordChar(At(i_))) {
            ++i_;
        }
        std::string_view word = sql_.substr(start, i_ - start);
        if (word.size() == 1 && (word[0] == 'x' || word[0] == 'X') && At(i_) == '\'') {
            bool doubled = false;  // a blob literal, kept as it is
            if (!SkipString(doubled)) {
                return false;
            }
            before_ = Before::Value;
            return true;
        }
        if (WordIs(word, "select")) {
            if (listDepth_ < 0) {
                listDepth_ = depth_;
            }
        } else if (WordIs(word, "from")) {
            if (depth_ == listDepth_) {
                listDepth_ = -1;
            }
        } else if (WordIs(word, "order") || WordIs(word, "group")) {
            if (keepDepth_ < 0) {
                keepDepth_ = depth_;
            }
        } else if (WordIs(word, "returning")) {
            keepAll_ = true;
        }
        before_ = Before::Word;
        return true;
    }

    std::string_view sql_;
    bool lift_;
    std::vector<Literal>& out_;
    std::size_t i_ = 0;
    int depth_ = 0;
    int listDepth_ = -1;  // the depth of the select whose list is being read
    int keepDepth_ = -1;  // the depth of the ORDER BY or GROUP BY being read
    bool keepAll_ = false;
    bool finished_ = false;
    Before before_ = Before::Nothing;
    char sign_ = 0;
    std::size_t signPos_ = 0;
    bool signUnary_ = false;
};

// The first word of the text, or "" when it starts with anything else.
std::string_view FirstWord(std::string_view sql) {
    std::size_t i = 0;
    while (i < sql.size() && ClassOf(sql[i]) == kSpace) {
        ++i;
    }
    if (i == sql.size() || ClassOf(sql[i]) != kLetter) {
        return {};
    }
    std::size_t start = i;
    while (i < sql.size() && IsWordChar(sql[i])) {
        ++i;
    }
    return sql.substr(start, i - start);
}

}  // namespace

TextShape LiteralLexer::Lex(std::string_view sql, std::vector<Literal>& literals,
                            std::string& key) const {
    literals.clear();
    sql = sql.substr(0, sql.find('\0'));
    if (sql.size() >= std::numeric_limits<std::uint32_t>::max()) {
        return TextShape::Uncached;
    }
    std::string_view first = FirstWord(sql);
    bool lift = IsAnyOf(first, {"select", "insert", "update", "delete", "replace"});
    bool asWritten =
        IsAnyOf(first, {"pragma", "savepoint", "release", "rollback", "begin", "commit", "end"});
    if (!lift && !asWritten) {
        return TextShape::Uncached;
    }
    if (!Pass(sql, lift, literals).Run()) {
        literals.clear();
        return TextShape::Uncached;
    }
    key.clear();
    if (literals.empty()) {
        key.append(sql);
        return TextShape::AsWritten;
    }
    std::size_t last = 0;
    for (const Literal& l : literals) {
        key.append(sql.substr(last, l.begin - last));
        key += '?';
        last = l.end;
    }
    key.append(sql.substr(last));
    return TextShape::Parameterised;
}

}  // namespace ledgerlift
