#include "web/HyperParser.h"

#include <bit>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "foundation/Operation.h"
#include "web/HyperCodes.h"
#include "web/HyperParserDelegate.h"

HyperParser::HyperParser(const QString &text) : HyperParser(text, HyperCodes::defaultPath()) {}

HyperParser::HyperParser(const QString &text, const QString &codesPath)
    : codes_(HyperCodes::forPath(codesPath)), input_(text)
{}

HyperParser::~HyperParser() = default;

namespace {

// The markup characters of a tag for the ASCII range: white space ends a word,
// and so do ">", "=" and "/". Every other code unit, surrogates included,
// belongs to a word; beyond ASCII only Unicode white space ends one.
struct AsciiClasses {
    bool space[128] = {};
    bool word[128] = {};
    constexpr AsciiClasses()
    {
        for (int c = 0; c < 128; ++c) {
            space[c] = c == 0x20 || (c >= 0x09 && c <= 0x0d);
            word[c] = !space[c] && c != '>' && c != '=' && c != '/';
        }
    }
};
constexpr AsciiClasses kAscii;

inline bool isSpaceUnit(char16_t c)
{
    return c < 128 ? kAscii.space[c] : QChar::isSpace(char32_t(c));
}

inline bool isWordUnit(char16_t c)
{
    return c < 128 ? kAscii.word[c] : !QChar::isSpace(char32_t(c));
}

// The end of the word that starts at p: the first unit that is not part of a
// word, or end. Eight units at a time pick out the candidates (anything outside
// "!".."~", and ">", "=", "/"); only those are classified one by one, which
// settles the rare control and non-ASCII units.
[[gnu::always_inline]] inline const char16_t *skipWord(const char16_t *p, const char16_t *end)
{
    // Many scans start on the very unit that ends the word ("=", ">", the
    // "/" of an end tag): those need no block at all.
    if (p == end || !isWordUnit(*p))
        return p;
    ++p;
#ifdef __SSE2__
    const __m128i printableFirst = _mm_set1_epi16(0x21);
    const __m128i printableSpan = _mm_set1_epi16(0x7e - 0x21);
    const __m128i zero = _mm_setzero_si128();
    const __m128i gt = _mm_set1_epi16(u'>');
    const __m128i eq = _mm_set1_epi16(u'=');
    const __m128i slash = _mm_set1_epi16(u'/');
    while (end - p >= 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        // Unsigned v - 0x21 <= 0x5d, i.e. "!" through "~".
        const __m128i printable =
            _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(v, printableFirst), printableSpan), zero);
        const __m128i marks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, gt), _mm_cmpeq_epi16(v, eq)),
                                           _mm_cmpeq_epi16(v, slash));
        unsigned candidates =
            (unsigned(_mm_movemask_epi8(printable)) ^ 0xffffu) | unsigned(_mm_movemask_epi8(marks));
        while (candidates) {
            const int at = std::countr_zero(candidates) >> 1;
            if (!isWordUnit(p[at]))
                return p + at;
            candidates &= ~(3u << (2 * at));
        }
        p += 8;
    }
#endif
    while (p != end && isWordUnit(*p))
        ++p;
    return p;
}

} // namespace

void HyperParser::parse()
{
    const char16_t *const begin = input_.units();
    const char16_t *const end = begin + input_.length();
    for (;;) {
        if (!input_.hasNext() || abortParsing_ || isCancelled())
            return;

        const char16_t *const from = begin + input_.position();
        const char16_t *const lt = HyperInput::find(from, end, u'<');
        if (lt == end) {
            // Text after the last tag carries nothing the page parsers need.
            input_.setPosition(input_.length());
            return;
        }
        input_.setPosition(lt + 1 - begin);
        if (lt != from) {
            if (delegate_)
                delegate_->foundCharacters(*this, QStringView(from, lt - from));
            if (abortParsing_ || isCancelled())
                return;
        }
        if (lt + 1 == end)
            return;

        // Every special construct starts with "!" or "?": an ordinary tag skips
        // the four prefix tests.
        const char16_t c = lt[1];
        if (c == u'!' || c == u'?') {
            if (const auto cdata = input_.substringFromPrefix(u"![CDATA[", u"]]>")) {
                if (delegate_)
                    delegate_->foundCDATA(*this, *cdata);
                continue;
            }
            if (const auto comment = input_.substringFromPrefix(u"!--", u"-->")) {
                if (delegate_)
                    delegate_->foundComment(*this, *comment);
                continue;
            }
            if (input_.substringFromPrefix(u"?", u"?>"))
                continue;
            if (input_.substringFromPrefix(u"!", u">"))
                continue;
        }
        parseElement();
    }
}

// Reads an attribute value from p, just behind "=", and returns where reading
// stopped. An unquoted value ends only at white space or the end of the page,
// never at ">": pages that write href=/a/b> keep the ">" and what follows in
// the value, as browsers of old did.
const char16_t *HyperParser::readValue(const char16_t *p, const char16_t *end, QStringView key)
{
    const char16_t *const at = p;
    while (p != end && isSpaceUnit(*p))
        ++p;
    QStringView value(at, qsizetype(0));
    if (p != end) {
        const char16_t c = *p;
        if (c == u'"' || c == u'\'') {
            const char16_t *const start = p + 1;
            const char16_t *const close = HyperInput::find(start, end, c);
            value = QStringView(start, close - start);
            p = close == end ? end : close + 1;
        } else {
            const char16_t *const start = p;
            do
                ++p;
            while (p != end && !isSpaceUnit(*p));
            value = QStringView(start, p - start);
            if (p != end)
                ++p;
        }
    }
    if (!key.isEmpty())
        attributes_.insert(key, value);
    return p;
}

void HyperParser::reportElement(QStringView name, bool endTag, bool selfClosing)
{
    if (!delegate_)
        return;
    if (endTag) {
        delegate_->didEndElement(*this, name);
        return;
    }
    delegate_->didStartElement(*this, name, attributes_);
    if (selfClosing && !abortParsing_)
        delegate_->didEndElement(*this, name);
}

// Reads one tag, the cursor just behind its "<". Words, names and values are
// always contiguous runs of the page (any character that is not part of a word
// ends it), so they are kept as views. A word is scanned in one go and what
// ends it decides its role.
void HyperParser::parseElement()
{
    const char16_t *const begin = input_.units();
    const char16_t *const end = begin + input_.length();
    const char16_t *p = begin + input_.position();

    // Half of a page's tags are plain end tags ("</div>"): they take the
    // same path as below in one step.
    if (p != end && *p == u'/') {
        const char16_t *const nameEnd = skipWord(p + 1, end);
        if (nameEnd != p + 1 && nameEnd != end && *nameEnd == u'>') {
            input_.setPosition(nameEnd + 1 - begin);
            if (delegate_)
                delegate_->didEndElement(*this, QStringView(p + 1, nameEnd - (p + 1)));
            return;
        }
    }

    QStringView name;
    QStringView pendingKey;
    bool endTag = false;
    bool selfClosing = false;
    attributes_.clear();

    for (;;) {
        const char16_t *const wordStart = p;
        p = skipWord(p, end);
        const QStringView word(wordStart, p - wordStart);
        if (!word.isEmpty())
            // "/" only closes the tag when nothing but white space follows it.
            selfClosing = false;
        if (p == end) {
            input_.setPosition(end - begin);
            // A tag cut off by the end of the page still counts; a word it
            // was still reading is dropped.
            if (!name.isEmpty())
                reportElement(name, endTag, selfClosing);
            return;
        }
        const char16_t c = *p++;
        if (c == u'>') {
            input_.setPosition(p - begin);
            if (!word.isEmpty() && name.isEmpty())
                name = word;
            // A tag of nothing but white space has no name and no event.
            if (!name.isEmpty())
                reportElement(name, endTag, selfClosing);
            return;
        }
        if (c == u'=') {
            if (!word.isEmpty())
                pendingKey = word;
            p = readValue(p, end, pendingKey);
            pendingKey = QStringView();
        } else if (c == u'/') {
            if (!word.isEmpty() && name.isEmpty())
                name = word;
            if (name.isEmpty())
                endTag = true;
            else
                selfClosing = true;
        } else if (!word.isEmpty()) {
            // White space. A word followed by it is the name, then a key
            // candidate; a bare word is replaced by the next one, so flag
            // attributes without "=" are never recorded.
            if (name.isEmpty())
                name = word;
            else
                pendingKey = word;
        }
    }
}

QString HyperParser::decode(const QString &text) const
{
    if (text.isNull())
        return QString();
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return text;

    const QStringView view(text);
    const qsizetype maxKey = codes_->maxKeyLength();
    QString result;
    result.reserve(text.size());
    qsizetype scan = 0;
    while (amp >= 0) {
        result += view.sliced(scan, amp - scan);
        const qsizetype nameStart = amp + 1;
        // Every key ends in its only ";", so at most one key can match here:
        // the text up to the first ";".
        const QStringView window = view.sliced(nameStart, std::min(maxKey, view.size() - nameStart));
        const qsizetype semicolon = window.indexOf(u';');
        const QString *replacement = semicolon < 0 ? nullptr : codes_->find(window.first(semicolon + 1));
        if (replacement) {
            result += *replacement;
            scan = nameStart + semicolon + 1;
        } else {
            result += u'&';
            scan = nameStart;
        }
        amp = view.indexOf(u'&', scan);
    }
    result += view.sliced(scan);
    return result;
}

bool HyperParser::string(QStringView s, QStringView prefix, qsizetype offset)
{
    if (offset < 0 || offset > s.size() || prefix.size() > s.size() - offset)
        return false;
    return s.sliced(offset, prefix.size()) == prefix;
}
