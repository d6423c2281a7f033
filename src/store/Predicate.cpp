#include "store/Predicate.h"

#include "store/ManagedObject.h"
#include "store/StoreCollation.h"

namespace {

struct Token {
    enum Kind { Word, Operator, Argument, Text, Number, End, Bad } kind = End;
    QString text;
};

class Lexer
{
public:
    explicit Lexer(const QString &source) : s_(source) {}

    Token next()
    {
        while (i_ < s_.size() && s_[i_].isSpace())
            ++i_;
        if (i_ >= s_.size())
            return {Token::End, {}};
        const QChar c = s_[i_];
        if (c == u'%' && i_ + 1 < s_.size() && s_[i_ + 1] == u'@') {
            i_ += 2;
            return {Token::Argument, QStringLiteral("%@")};
        }
        if (c == u'"' || c == u'\'') {
            QString text;
            for (++i_; i_ < s_.size() && s_[i_] != c; ++i_) {
                if (s_[i_] == u'\\' && i_ + 1 < s_.size())
                    ++i_;
                text += s_[i_];
            }
            if (i_ >= s_.size())
                return {Token::Bad, QStringLiteral("unterminated text")};
            ++i_;
            return {Token::Text, text};
        }
        for (const char *op : {"==", "!=", "<>", "&&", "="}) {
            const QString o = QString::fromLatin1(op);
            if (QStringView(s_).mid(i_).startsWith(o)) {
                i_ += o.size();
                return {Token::Operator, o};
            }
        }
        if (c.isDigit() || (c == u'-' && i_ + 1 < s_.size() && s_[i_ + 1].isDigit())) {
            const qsizetype start = i_++;
            while (i_ < s_.size() && (s_[i_].isDigit() || s_[i_] == u'.'))
                ++i_;
            return {Token::Number, s_.mid(start, i_ - start)};
        }
        if (c.isLetter() || c == u'_') {
            const qsizetype start = i_;
            while (i_ < s_.size() && (s_[i_].isLetterOrNumber() || s_[i_] == u'_' || s_[i_] == u'.'))
                ++i_;
            // LIKE[c]: the option belongs to the operator.
            if (i_ < s_.size() && s_[i_] == u'[') {
                const qsizetype close = s_.indexOf(u']', i_);
                if (close < 0)
                    return {Token::Bad, QStringLiteral("unterminated option")};
                i_ = close + 1;
            }
            return {Token::Word, s_.mid(start, i_ - start)};
        }
        return {Token::Bad, QString(c)};
    }

private:
    const QString &s_;
    qsizetype i_ = 0;
};

bool parseOperator(const Token &t, Predicate::Operator *op)
{
    const QString text = t.text.toUpper();
    if (text == QStringLiteral("==") || text == QStringLiteral("="))
        *op = Predicate::Operator::Equal;
    else if (text == QStringLiteral("!=") || text == QStringLiteral("<>"))
        *op = Predicate::Operator::NotEqual;
    else if (text == QStringLiteral("LIKE"))
        *op = Predicate::Operator::Like;
    else if (text == QStringLiteral("LIKE[C]"))
        *op = Predicate::Operator::LikeCaseInsensitive;
    else
        return false;
    return true;
}

} // namespace

Predicate Predicate::comparison(const QString &keyPath, Operator op, StoreValue value)
{
    Predicate p;
    p.comparisons_.push_back(Comparison{keyPath, op, std::move(value)});
    return p;
}

Predicate Predicate::predicateWithFormat(const QString &format, const std::vector<StoreValue> &arguments)
{
    Predicate p;
    Lexer lexer(format);
    size_t argument = 0;
    auto fail = [&](const QString &why) {
        Predicate bad;
        bad.invalidReason_ = QStringLiteral("Unable to parse the format \"%1\": %2").arg(format, why);
        return bad;
    };
    for (;;) {
        const Token key = lexer.next();
        if (key.kind != Token::Word)
            return fail(QStringLiteral("a key path was expected"));
        Comparison c;
        c.keyPath = key.text;
        const Token op = lexer.next();
        if (!parseOperator(op, &c.op))
            return fail(QStringLiteral("unknown operator ") + op.text);
        const Token value = lexer.next();
        switch (value.kind) {
        case Token::Argument:
            if (argument >= arguments.size())
                return fail(QStringLiteral("too few arguments"));
            c.value = arguments[argument++];
            break;
        case Token::Text:
            c.value = value.text;
            break;
        case Token::Number:
            if (value.text.contains(u'.'))
                c.value = Decimal::fromString(value.text);
            else
                c.value = value.text.toLongLong();
            break;
        case Token::Word: {
            const QString word = value.text.toUpper();
            if (word == QStringLiteral("NIL") || word == QStringLiteral("NULL"))
                c.value = std::monostate();
            else if (word == QStringLiteral("YES") || word == QStringLiteral("TRUE"))
                c.value = true;
            else if (word == QStringLiteral("NO") || word == QStringLiteral("FALSE"))
                c.value = false;
            else
                return fail(QStringLiteral("unknown value ") + value.text);
            break;
        }
        default:
            return fail(QStringLiteral("a value was expected"));
        }
        p.comparisons_.push_back(std::move(c));
        const Token joint = lexer.next();
        if (joint.kind == Token::End)
            break;
        if (joint.text.toUpper() != QStringLiteral("AND") && joint.text != QStringLiteral("&&"))
            return fail(QStringLiteral("\"and\" was expected"));
    }
    if (argument != arguments.size())
        return fail(QStringLiteral("too many arguments"));
    return p;
}

Predicate Predicate::operator&&(const Predicate &other) const
{
    Predicate p = *this;
    p.comparisons_.insert(p.comparisons_.end(), other.comparisons_.begin(), other.comparisons_.end());
    if (p.invalidReason_.isEmpty())
        p.invalidReason_ = other.invalidReason_;
    return p;
}

bool Predicate::evaluate(const StoreValue &left, Operator op, const StoreValue &right)
{
    switch (op) {
    case Operator::Equal:
    case Operator::NotEqual: {
        // The argument is read as the attribute's kind, as the SQL side binds
        // it: a decimal against a floating-point attribute is a double, so
        // 0.1 finds the 0.1 that was stored.
        const bool equal = std::holds_alternative<double>(left) && std::holds_alternative<Decimal>(right)
                               ? std::get<double>(left) == std::get<Decimal>(right).toDouble()
                               : StoreValues::equal(left, right);
        return equal == (op == Operator::Equal);
    }
    case Operator::Like:
    case Operator::LikeCaseInsensitive: {
        const auto *value = std::get_if<QString>(&left);
        const auto *pattern = std::get_if<QString>(&right);
        return value && pattern &&
               StoreCollation::matchesLike(*value, *pattern, op == Operator::LikeCaseInsensitive);
    }
    }
    return false;
}

bool Predicate::evaluateWithObject(const ManagedObject &object) const
{
    if (!isValid())
        return false;
    for (const auto &c : comparisons_) {
        if (!evaluate(object.valueForKeyPath(c.keyPath), c.op, c.value))
            return false;
    }
    return true;
}
