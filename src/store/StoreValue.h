#pragma once

#include <variant>

#include <QDateTime>
#include <QString>

#include "foundation/Decimal.h"
#include "store/ObjectID.h"

// One attribute value of a record. std::monostate is nil: an attribute that
// was never set. Integers and booleans are kept apart so that a boolean
// reads back as a boolean, but they compare as numbers.
using StoreValue = std::variant<std::monostate, bool, qint64, double, QString, Decimal, QDateTime, ObjectID>;

namespace StoreValues {

inline bool isNil(const StoreValue &v)
{
    return std::holds_alternative<std::monostate>(v);
}

// Lenient readers: nil and values of another kind read as 0, false or empty.
bool toBool(const StoreValue &v);
qint64 toInteger(const StoreValue &v);
double toDouble(const StoreValue &v);
QString toString(const StoreValue &v);

// Equality as the predicates mean it: numbers of any kind compare by value,
// a decimal equals an integer of the same value, nil equals only nil.
bool equal(const StoreValue &a, const StoreValue &b);

// Ordering for sorts: nil first, then by value. Values of unrelated kinds
// order by kind so that the order stays strict and weak.
int compare(const StoreValue &a, const StoreValue &b);

} // namespace StoreValues
