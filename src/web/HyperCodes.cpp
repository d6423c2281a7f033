#include "web/HyperCodes.h"

#include <cstdlib>
#include <mutex>

#include <plist/plist.h>

#include <QFile>
#include <QHash>

#include "files/PlistReader.h"

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
        const QByteArray bytes = file.readAll();
        plist_t root = PlistReader::read(bytes);
        if (root && plist_get_node_type(root) == PLIST_DICT) {
            plist_dict_iter iter = nullptr;
            plist_dict_new_iter(root, &iter);
            for (;;) {
                char *key = nullptr;
                plist_t item = nullptr;
                plist_dict_next_item(root, iter, &key, &item);
                if (!key)
                    break;
                if (plist_get_node_type(item) == PLIST_STRING) {
                    // The copying getter asserts on a NUL inside the text.
                    uint64_t length = 0;
                    const char *value = plist_get_string_ptr(item, &length);
                    const QString name = QString::fromUtf8(key);
                    if (value && isUsableKey(name))
                        codes->insert(name,
                                      QString::fromUtf8(value, qsizetype(qstrnlen(value, size_t(length)))));
                }
                std::free(key);
            }
            std::free(iter);
        }
        if (root)
            plist_free(root);
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
