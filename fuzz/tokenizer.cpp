// Fuzzes the markup tokenizer and decode(). Besides the sanitizers it checks:
// - every event agrees with a plain reference that follows the tokenizer's
//   rules word by word, building strings by appends and a map per tag;
// - nothing arrives after abortParsing();
// - decode() agrees with a reference that tries every key of the table.
//
// Input: the first byte picks the text form (UTF-8 or raw UTF-16, which reaches
// lone surrogates and every white-space code unit) and when to abort.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>

#include <QString>
#include <QStringList>

#include "web/HyperCodes.h"
#include "web/HyperParser.h"
#include "web/HyperParserDelegate.h"

namespace {

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

QString startEvent(const QString &name, const std::map<QString, QString> &attributes)
{
    QString event = u"<" + name;
    for (const auto &[key, value] : attributes)
        event += u" " + key + u"=[" + value + u"]";
    return event + u">";
}

// Logs events and stops after a given number of them.
class Logger : public HyperParserDelegate
{
public:
    QStringList events;
    int abortAfter = 0;
    const QString *page = nullptr;
    bool aborted = false;

    void foundCDATA(HyperParser &p, QStringView t) override { log(p, u"D[" + inside(t) + u"]"); }
    void foundComment(HyperParser &p, QStringView t) override { log(p, u"C[" + inside(t) + u"]"); }
    void foundCharacters(HyperParser &p, QStringView t) override { log(p, u"T[" + inside(t) + u"]"); }
    void didEndElement(HyperParser &p, QStringView name) override { log(p, u"</" + inside(name) + u">"); }
    void didStartElement(HyperParser &p, QStringView name, const HyperAttributes &attributes) override
    {
        std::map<QString, QString> sorted;
        for (const auto &a : attributes) {
            require(!a.key.isEmpty(), "empty attribute key");
            require(sorted.emplace(inside(a.key), inside(a.value)).second, "repeated attribute key");
            require(attributes.value(a.key) == a.value, "lookup by key");
        }
        require(qsizetype(attributes.toHash().size()) == attributes.size(), "toHash");
        require(!name.isEmpty(), "empty element name");
        log(p, startEvent(inside(name), sorted));
    }

private:
    QString inside(QStringView v) const
    {
        const QChar *p = reinterpret_cast<const QChar *>(v.data());
        require(v.isEmpty() || (p >= page->constData() && p + v.size() <= page->constData() + page->size()),
                "view outside the page");
        return v.toString();
    }
    void log(HyperParser &p, const QString &event)
    {
        require(!aborted, "event after abortParsing");
        events.append(event);
        if (abortAfter > 0 && events.size() == abortAfter) {
            p.abortParsing();
            aborted = true;
        }
    }
};

// The tokenizer's rules spelled out plainly, one code unit at a time.
class Reference
{
public:
    Reference(const QString &text, int abortAfter) : s(text), abortAfter(abortAfter) {}
    QStringList events;

    void parse()
    {
        for (;;) {
            if (pos >= s.size() || aborted)
                return;
            const QString text = toSuffix(QStringLiteral("<"));
            if (!text.isEmpty()) {
                emit(u"T[" + text + u"]");
                if (aborted)
                    return;
            }
            if (auto cdata = fromPrefix(QStringLiteral("![CDATA["), QStringLiteral("]]>"))) {
                emit(u"D[" + *cdata + u"]");
                continue;
            }
            if (auto comment = fromPrefix(QStringLiteral("!--"), QStringLiteral("-->"))) {
                emit(u"C[" + *comment + u"]");
                continue;
            }
            if (fromPrefix(QStringLiteral("?"), QStringLiteral("?>")) ||
                fromPrefix(QStringLiteral("!"), QStringLiteral(">")))
                continue;
            element();
        }
    }

private:
    const QString s;
    qsizetype pos = 0;
    int abortAfter;
    bool aborted = false;

    void emit(const QString &event)
    {
        if (aborted)
            return;
        events.append(event);
        if (abortAfter > 0 && events.size() == abortAfter)
            aborted = true;
    }
    QString toSuffix(const QString &suffix)
    {
        const qsizetype i = s.indexOf(suffix, pos);
        if (i < 0) {
            pos = s.size();
            return QString();
        }
        const QString result = s.mid(pos, i - pos);
        pos = i + suffix.size();
        return result;
    }
    std::optional<QString> fromPrefix(const QString &prefix, const QString &suffix)
    {
        if (!HyperParser::string(s, prefix, pos))
            return std::nullopt;
        pos += prefix.size();
        return toSuffix(suffix);
    }
    void element()
    {
        std::optional<QString> name, key;
        QString word;
        std::map<QString, QString> attributes;
        bool endTag = false, selfClosing = false;
        for (;;) {
            if (pos >= s.size()) {
                if (name)
                    report(*name, attributes, endTag, selfClosing);
                return;
            }
            const QChar c = s[pos++];
            if (HyperParser::isWhitespace(c)) {
                if (!word.isEmpty()) {
                    (name ? key : name) = word;
                    word.clear();
                }
            } else if (c == u'=') {
                if (!word.isEmpty())
                    key = word;
                value(key, attributes);
                word.clear();
                key.reset();
            } else if (c == u'/') {
                if (!word.isEmpty() && !name)
                    name = word;
                word.clear();
                (name ? selfClosing : endTag) = true;
            } else if (c == u'>') {
                if (!word.isEmpty() && !name)
                    name = word;
                if (name)
                    report(*name, attributes, endTag, selfClosing);
                return;
            } else {
                word += c;
                selfClosing = false;
            }
        }
    }
    void value(const std::optional<QString> &key, std::map<QString, QString> &attributes)
    {
        QChar quote;
        QString v;
        for (;;) {
            if (pos >= s.size())
                break;
            const QChar c = s[pos++];
            if (HyperParser::isWhitespace(c)) {
                if (!quote.isNull())
                    v += c;
                else if (v.isEmpty())
                    continue;
                else
                    break;
            } else if (c == u'"' || c == u'\'') {
                if (c == quote)
                    break;
                if (quote.isNull() && v.isEmpty())
                    quote = c;
                else
                    v += c;
            } else {
                v += c;
            }
        }
        if (key)
            attributes[*key] = v;
    }
    void report(const QString &name, const std::map<QString, QString> &attributes, bool endTag,
                bool selfClosing)
    {
        if (endTag) {
            emit(u"</" + name + u">");
            return;
        }
        emit(startEvent(name, attributes));
        if (selfClosing && !aborted)
            emit(u"</" + name + u">");
    }
};

QString referenceDecode(const QString &s, const QStringList &keys, const QStringList &values)
{
    QString result;
    qsizetype i = 0;
    while (i < s.size()) {
        if (s[i] != u'&') {
            result += s[i++];
            continue;
        }
        ++i;
        bool replaced = false;
        for (qsizetype k = 0; k < keys.size() && !replaced; ++k) {
            if (HyperParser::string(s, keys[k], i)) {
                result += values[k];
                i += keys[k].size();
                replaced = true;
            }
        }
        if (!replaced)
            result += u'&';
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    ++data;
    --size;

    QString page;
    if (mode & 1) {
        page = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    } else {
        page.resize(qsizetype(size / 2));
        std::memcpy(page.data(), data, (size / 2) * 2);
    }
    const int abortAfter = (mode >> 1) % 16;

    Logger logger;
    logger.page = &page;
    logger.abortAfter = abortAfter;
    HyperParser parser(page);
    parser.setDelegate(&logger);
    parser.parse();

    Reference reference(page, abortAfter);
    reference.parse();
    require(logger.events == reference.events, "events differ from the reference");

    // decode(): the fallback table against trying every key; the full table
    // must at least leave text without "&" alone.
    static const QStringList keys{QStringLiteral("lt;"), QStringLiteral("gt;"), QStringLiteral("nbsp;")};
    static const QStringList values{QStringLiteral("<"), QStringLiteral(">"), QStringLiteral(" ")};
    const HyperParser fallback(QString(), QStringLiteral("/nonexistent/codes.plist"));
    require(fallback.decode(page) == referenceDecode(page, keys, values),
            "decode differs from the reference");
    const QString decoded = parser.decode(page);
    require(page.contains(u'&') || decoded == page, "decode changed text without references");
    return 0;
}
