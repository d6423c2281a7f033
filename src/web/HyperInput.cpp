#include "web/HyperInput.h"

HyperInput::HyperInput(const QString &source)
    : source_(source), data_(source_.constData()), length_(source_.size())
{}

bool HyperInput::startsWithPrefix(QStringView prefix) const
{
    if (prefix.size() > length_ - position_)
        return false;
    return QStringView(data_ + position_, prefix.size()) == prefix;
}

std::optional<QStringView> HyperInput::substringFromPrefix(QStringView prefix, QStringView suffix)
{
    if (!startsWithPrefix(prefix))
        return std::nullopt;
    position_ += prefix.size();
    return substringToSuffix(suffix);
}

QStringView HyperInput::substringToSuffix(QStringView suffix)
{
    const QStringView rest(data_ + position_, length_ - position_);
    // A one-unit suffix ("<") is the hot path of every page: the QChar search
    // is vectorised.
    const qsizetype found = suffix.size() == 1 ? rest.indexOf(suffix.front()) : rest.indexOf(suffix);
    if (found < 0) {
        position_ = length_;
        return QStringView(data_ + length_, qsizetype(0));
    }
    position_ += found + suffix.size();
    return rest.first(found);
}
