#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include <QString>
#include <QStringView>

// The named character references that HyperParser::decode replaces: keys are
// the names with their trailing ";" and without the "&" ("lt;"), values the
// replacement texts. Loaded from a property-list resource; when that is
// missing or unreadable, only "lt;", "gt;" and "nbsp;" (a plain space) are
// known.
//
// Thread contract: tables are immutable once made and shared between threads;
// forPath() may be called from any thread.
class HyperCodes
{
public:
    // The table shipped with the program (":/codes.plist").
    static QString defaultPath();

    // The table read from path, loaded once per path for the process.
    static std::shared_ptr<const HyperCodes> forPath(const QString &path);

    // The three references used when the resource cannot be read.
    static HyperCodes fallback();

    // The replacement for key, which must end in ";", or null when unknown.
    const QString *find(QStringView key) const;

    qsizetype size() const { return qsizetype(codes_.size()); }
    // Longest key, ";" included: decode() looks no further for the ";".
    qsizetype maxKeyLength() const { return maxKeyLength_; }

private:
    // Keys are looked up by views of the page text, without making a string.
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::u16string_view key) const { return std::hash<std::u16string_view>()(key); }
    };

    void insert(const QString &key, const QString &value);

    std::unordered_map<std::u16string, QString, Hash, std::equal_to<>> codes_;
    qsizetype maxKeyLength_ = 0;
};
