#include "foundation/Regex.h"

#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <QHash>

namespace {

// icu::RegexPattern is immutable once compiled and documented as safe to share
// between threads; only the map itself needs the lock. Patterns are constants of
// the program, so the cache stays small and is never pruned.
class PatternCache
{
public:
    const icu::RegexPattern &get(const QString &pattern)
    {
        std::lock_guard lock(mutex_);
        auto it = patterns_.find(pattern);
        if (it != patterns_.end())
            return *it->second;
        UErrorCode status = U_ZERO_ERROR;
        UParseError parseError{};
        std::unique_ptr<icu::RegexPattern> compiled(icu::RegexPattern::compile(
            icu::UnicodeString(reinterpret_cast<const UChar *>(pattern.utf16()), int32_t(pattern.size())), 0,
            parseError, status));
        if (U_FAILURE(status) || !compiled)
            throw std::invalid_argument("invalid regular expression \"" + pattern.toStdString() +
                                        "\": " + u_errorName(status) + " at offset " +
                                        std::to_string(parseError.offset));
        const icu::RegexPattern &result = *compiled;
        patterns_.emplace(pattern, std::move(compiled));
        return result;
    }

private:
    std::mutex mutex_;
    std::unordered_map<QString, std::unique_ptr<icu::RegexPattern>> patterns_;
};

PatternCache &cache()
{
    static PatternCache instance;
    return instance;
}

// A read-only alias of the QString's buffer: ICU matches over it in place.
// The QString must outlive the alias.
icu::UnicodeString alias(const QString &s)
{
    return icu::UnicodeString(false, reinterpret_cast<const UChar *>(s.utf16()), int32_t(s.size()));
}

QString toQString(const icu::UnicodeString &u)
{
    return QString(reinterpret_cast<const QChar *>(u.getBuffer()), u.length());
}

void check(UErrorCode status, const QString &pattern, const char *what)
{
    if (U_FAILURE(status))
        throw std::invalid_argument(std::string(what) + " with regular expression \"" +
                                    pattern.toStdString() + "\" failed: " + u_errorName(status));
}

// The matcher keeps a pointer to the input, so the aliasing UnicodeString lives
// beside it for the whole call.
struct Match {
    icu::UnicodeString input;
    std::unique_ptr<icu::RegexMatcher> matcher;

    Match(const QString &s, const QString &pattern) : input(alias(s))
    {
        UErrorCode status = U_ZERO_ERROR;
        matcher.reset(cache().get(pattern).matcher(input, status));
        check(status, pattern, "creating a matcher");
    }
};

} // namespace

QStringList captureComponentsMatchedByRegex(const QString &s, const QString &pattern)
{
    Match m(s, pattern);
    QStringList result;
    if (!m.matcher->find())
        return result;
    const int32_t groups = m.matcher->groupCount();
    result.reserve(groups + 1);
    for (int32_t g = 0; g <= groups; ++g) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t start = m.matcher->start(g, status);
        const int32_t end = m.matcher->end(g, status);
        check(status, pattern, "reading a group");
        result.append(start < 0 ? QString() : s.mid(start, end - start));
    }
    return result;
}

bool isMatchedByRegex(const QString &s, const QString &pattern)
{
    Match m(s, pattern);
    return m.matcher->find();
}

QString stringByReplacingOccurrencesOfRegex(const QString &s, const QString &pattern, const QString &templ)
{
    Match m(s, pattern);
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString replaced = m.matcher->replaceAll(alias(templ), status);
    check(status, pattern, "replacing");
    return toQString(replaced);
}

QStringList componentsSeparatedByRegex(const QString &s, const QString &pattern)
{
    Match m(s, pattern);
    QStringList result;
    qsizetype last = 0;
    while (m.matcher->find()) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t start = m.matcher->start(status);
        const int32_t end = m.matcher->end(status);
        check(status, pattern, "splitting");
        result.append(s.mid(last, start - last));
        last = end;
    }
    result.append(s.mid(last));
    return result;
}
