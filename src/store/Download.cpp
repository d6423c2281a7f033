#include "store/Download.h"

QDateTime Download::date() const
{
    if (const auto *d = std::get_if<QDateTime>(&value(Date)))
        return *d;
    return QDateTime();
}

void Download::setDate(const QDateTime &date)
{
    setValue(Date, date.isValid() ? StoreValue(date) : StoreValue());
}
