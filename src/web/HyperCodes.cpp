#include "web/HyperCodes.h"

#include <mutex>

#include <QFile>
#include <QHash>

#include "files/PropertyList.h"

// The resource lives in a static library: without an explicit reference the
// linker would leave it out of the program.
static void initCodesResource()
{
    Q_INIT_RESOURCE(codes);
}

namespace {

// A key can only be found by decode() when it is a name with a single ";" at
// its end; anything else in a resource would never match, so it is skipped.
bool isUsableKey(const QString &key)
{
    return key.size() > 1 && key.endsWith(QLatin1Char(';')) &&
           key.indexOf(QLatin1Char(';')) == key.size() - 1;
}

} // namespace

QString HyperCodes::defaultPath()
{
    return QStringLiteral(":/codes.plist");
}

HyperCodes HyperCodes::fallback()
{
    HyperCodes codes;
    codes.insert(QStringLiteral("lt;"), QStringLiteral("<"));
    codes.insert(QStringLiteral("gt;"), QStringLiteral(">"));
    codes.insert(QStringLiteral("nbsp;"), QStringLiteral(" "));
    return codes;
}

std::shared_ptr<const HyperCodes> HyperCodes::forPath(const QString &path)
{
    static std::once_flag resourceInit;
    std::call_once(resourceInit, initCodesResource);

    static std::mutex mutex;
    static QHash<QString, std::shared_ptr<const HyperCodes>> loaded;
    std::lock_guard lock(mutex);
    if (auto it = loaded.constFind(path); it != loaded.constEnd())
        return *it;

    auto codes = std::make_shared<HyperCodes>();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const std::optional<QVariant> root = PropertyList::fromData(file.readAll());
        const QVariantMap table = root ? root->toMap() : QVariantMap();
        for (auto it = table.cbegin(); it != table.cend(); ++it)
            if (it.value().typeId() == QMetaType::QString && isUsableKey(it.key()))
                codes->insert(it.key(), it.value().toString());
    }
    if (codes->size() == 0)
        *codes = fallback();
    loaded.insert(path, codes);
    return codes;
}

const QString *HyperCodes::find(QStringView key) const
{
    const auto it = codes_.find(std::u16string_view(key.utf16(), size_t(key.size())));
    return it == codes_.end() ? nullptr : &it->second;
}

void HyperCodes::insert(const QString &key, const QString &value)
{
    codes_.insert_or_assign(std::u16string(QStringView(key).utf16(), size_t(key.size())), value);
    maxKeyLength_ = std::max(maxKeyLength_, key.size());
}
