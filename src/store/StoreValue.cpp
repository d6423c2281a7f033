#include "store/StoreValue.h"

namespace StoreValues {

namespace {

enum Kind { Nil, Number, DecimalNumber, Text, Date, Identity };

Kind kindOf(const StoreValue &v)
{
    switch (v.index()) {
    case 0:
        return Nil;
    case 1:
    case 2:
    case 3:
        return Number;
    case 4:
        return Text;
    case 5:
        return DecimalNumber;
    case 6:
        return Date;
    default:
        return Identity;
    }
}

Decimal toDecimal(const StoreValue &v)
{
    if (const auto *d = std::get_if<Decimal>(&v))
        return *d;
    if (const auto *i = std::get_if<qint64>(&v))
        return Decimal(static_cast<long long>(*i));
    if (const auto *b = std::get_if<bool>(&v))
        return Decimal(*b ? 1 : 0);
    if (const auto *f = std::get_if<double>(&v))
        return Decimal::fromString(QString::number(*f, 'g', 17));
    return Decimal::notANumber();
}

template <typename T> int threeWay(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

bool toBool(const StoreValue &v)
{
    return toInteger(v) != 0 || (std::holds_alternative<double>(v) && std::get<double>(v) != 0.0);
}

qint64 toInteger(const StoreValue &v)
{
    if (const auto *i = std::get_if<qint64>(&v))
        return *i;
    if (const auto *b = std::get_if<bool>(&v))
        return *b ? 1 : 0;
    if (const auto *f = std::get_if<double>(&v))
        return *f == *f ? static_cast<qint64>(*f) : 0;
    if (const auto *d = std::get_if<Decimal>(&v))
        return d->integerPart();
    return 0;
}

double toDouble(const StoreValue &v)
{
    if (const auto *f = std::get_if<double>(&v))
        return *f;
    if (const auto *d = std::get_if<Decimal>(&v))
        return d->toDouble();
    return double(toInteger(v));
}

QString toString(const StoreValue &v)
{
    if (const auto *s = std::get_if<QString>(&v))
        return *s;
    return QString();
}

bool equal(const StoreValue &a, const StoreValue &b)
{
    const Kind ka = kindOf(a), kb = kindOf(b);
    if ((ka == Number || ka == DecimalNumber) && (kb == Number || kb == DecimalNumber)) {
        if (ka == DecimalNumber || kb == DecimalNumber)
            return toDecimal(a) == toDecimal(b);
        return toDouble(a) == toDouble(b);
    }
    if (ka != kb)
        return false;
    switch (ka) {
    case Nil:
        return true;
    case Text:
        return std::get<QString>(a) == std::get<QString>(b);
    case Date:
        return std::get<QDateTime>(a).toMSecsSinceEpoch() == std::get<QDateTime>(b).toMSecsSinceEpoch();
    case Identity:
        return std::get<ObjectID>(a) == std::get<ObjectID>(b);
    default:
        return false;
    }
}

int compare(const StoreValue &a, const StoreValue &b)
{
    const Kind ka = kindOf(a), kb = kindOf(b);
    if ((ka == Number || ka == DecimalNumber) && (kb == Number || kb == DecimalNumber)) {
        if (ka == DecimalNumber || kb == DecimalNumber) {
            const auto order = toDecimal(a) <=> toDecimal(b);
            return order < 0 ? -1 : (order > 0 ? 1 : 0);
        }
        if (ka == Number && a.index() != 3 && b.index() != 3)
            return threeWay(toInteger(a), toInteger(b));
        return threeWay(toDouble(a), toDouble(b));
    }
    if (ka != kb)
        return threeWay(int(ka), int(kb));
    switch (ka) {
    case Text:
        return std::get<QString>(a).compare(std::get<QString>(b));
    case Date:
        return threeWay(std::get<QDateTime>(a).toMSecsSinceEpoch(),
                        std::get<QDateTime>(b).toMSecsSinceEpoch());
    case Identity:
        return threeWay(std::get<ObjectID>(a).row, std::get<ObjectID>(b).row);
    default:
        return 0;
    }
}

} // namespace StoreValues
