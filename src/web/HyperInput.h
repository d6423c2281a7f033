#pragma once

#include <optional>

#include <QString>
#include <QStringView>

// A read cursor over one page's text. The text is held once (implicitly shared
// with the caller's QString) and every substring handed out is a view into it,
// so a view stays valid as long as this cursor lives.
//
// Thread contract: one thread at a time; no locks.
class HyperInput
{
public:
    explicit HyperInput(const QString &source);

    bool hasNext() const { return position_ < length_; }
    // Only call while hasNext() is true.
    QChar next() { return data_[position_++]; }

    // Whether the text from the cursor on begins with prefix (exact code units).
    // Does not move the cursor.
    bool startsWithPrefix(QStringView prefix) const;

    // Nothing, without moving, when the text at the cursor does not begin with
    // prefix; otherwise moves past it and returns substringToSuffix(suffix).
    std::optional<QStringView> substringFromPrefix(QStringView prefix, QStringView suffix);

    // The text from the cursor up to the next suffix, which is consumed. When
    // the suffix does not occur the rest of the input is consumed and the
    // result is empty: a page's trailing text and unterminated comments carry
    // nothing the page parsers need.
    QStringView substringToSuffix(QStringView suffix);

    const QString &source() const { return source_; }
    qsizetype position() const { return position_; }
    qsizetype length() const { return length_; }
    const QChar *data() const { return data_; }
    // The text as code units, for scanners that walk it by pointer.
    const char16_t *units() const { return reinterpret_cast<const char16_t *>(data_); }
    // Moves the cursor; position must lie within 0..length().
    void setPosition(qsizetype position) { position_ = position; }

    // The first c in [from, to), or to when there is none. Vectorised: the
    // search for the next "<" is the tokenizer's hottest loop.
    static const char16_t *find(const char16_t *from, const char16_t *to, char16_t c);

private:
    QString source_;
    const QChar *data_;
    qsizetype position_ = 0;
    qsizetype length_;
};
