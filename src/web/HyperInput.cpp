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
    qsizetype found;
    if (suffix.size() == 1) {
        const char16_t *from = units() + position_;
        const char16_t *to = units() + length_;
        const char16_t *at = find(from, to, suffix.front().unicode());
        found = at == to ? -1 : at - from;
    } else {
        found = rest.indexOf(suffix);
    }
    if (found < 0) {
        position_ = length_;
        return QStringView(data_ + length_, qsizetype(0));
    }
    position_ += found + suffix.size();
    return rest.first(found);
}
