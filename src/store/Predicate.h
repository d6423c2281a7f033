#pragma once

#include <vector>

#include <QString>

#include "store/StoreValue.h"

class ManagedObject;

// A fetch filter: a conjunction of comparisons between a key path of the
// record (`title`, `book.title`) and a value. The same predicate runs as
// SQL over saved rows and in memory over a context's unsaved records, with
// the same answers:
// - `==` and `!=` compare exactly; nil equals only nil, so "title != x"
//   holds for a record without a title;
// - `LIKE` matches the whole text, "*" any run of characters, "?" one
//   character; `LIKE[c]` ignores case; nil never matches.
// The empty predicate matches every record.
class Predicate
{
public:
    enum class Operator { Equal, NotEqual, Like, LikeCaseInsensitive };
    struct Comparison {
        QString keyPath;
        Operator op = Operator::Equal;
        StoreValue value;
    };

    Predicate() = default;
    static Predicate comparison(const QString &keyPath, Operator op, StoreValue value);
    // Parses the predicate language: comparisons joined by "and" (or "AND",
    // "&&"); operators "==", "=", "!=", "<>", "LIKE", "LIKE[c]"; values "%@"
    // (taken from `arguments` in order), quoted text, integers, "nil",
    // "YES"/"NO". A format that cannot be parsed gives an invalid predicate,
    // which fails every fetch that uses it.
    static Predicate predicateWithFormat(const QString &format,
                                         const std::vector<StoreValue> &arguments = {});

    // Both must hold.
    Predicate operator&&(const Predicate &other) const;

    bool isValid() const { return invalidReason_.isEmpty(); }
    const QString &invalidReason() const { return invalidReason_; }
    bool matchesEverything() const { return comparisons_.empty(); }
    const std::vector<Comparison> &comparisons() const { return comparisons_; }

    bool evaluateWithObject(const ManagedObject &object) const;
    static bool evaluate(const StoreValue &left, Operator op, const StoreValue &right);

private:
    std::vector<Comparison> comparisons_;
    QString invalidReason_;
};
