#include "web/HyperParser.h"

#include "foundation/Operation.h"
#include "web/HyperCodes.h"
#include "web/HyperParserDelegate.h"

HyperParser::HyperParser(const QString &text) : HyperParser(text, HyperCodes::defaultPath()) {}

HyperParser::HyperParser(const QString &text, const QString &codesPath)
    : codes_(HyperCodes::forPath(codesPath)), input_(text)
{}

HyperParser::~HyperParser() = default;

bool HyperParser::isCancelled() const
{
    return operationDelegate_ && operationDelegate_->isCancelled();
}

void HyperParser::parse()
{
    for (;;) {
        if (!input_.hasNext() || abortParsing_ || isCancelled())
            return;

        const QStringView text = input_.substringToSuffix(u"<");
        if (!text.isEmpty()) {
            if (delegate_)
                delegate_->foundCharacters(*this, text);
            if (abortParsing_ || isCancelled())
                return;
        }

        // Every special construct starts with "!" or "?": an ordinary tag skips
        // the four prefix tests.
        if (input_.hasNext()) {
            const QChar c = input_.data()[input_.position()];
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
        }
        parseElement();
    }
}

// Reads one tag, the cursor just behind its "<". Words, names and values are
// always contiguous runs of the page (any character that is not part of a word
// ends it), so they are kept as views: a start offset and a length.
void HyperParser::parseElement()
{
    const QChar *const data = input_.data();
    QStringView name;
    QStringView pendingKey;
    qsizetype wordStart = 0;
    qsizetype wordLength = 0;
    bool endTag = false;
    bool selfClosing = false;
    attributes_.clear();

    for (;;) {
        if (!input_.hasNext()) {
            // A tag cut off by the end of the page still counts.
            if (!name.isEmpty())
                reportElement(name, endTag, selfClosing);
            return;
        }
        const qsizetype at = input_.position();
        const QChar c = input_.next();
        if (c == u'>') {
            if (wordLength > 0 && name.isEmpty())
                name = QStringView(data + wordStart, wordLength);
            // A tag of nothing but white space has no name and no event.
            if (!name.isEmpty())
                reportElement(name, endTag, selfClosing);
            return;
        }
        if (c == u'=') {
            if (wordLength > 0)
                pendingKey = QStringView(data + wordStart, wordLength);
            wordLength = 0;
            readValue(pendingKey);
            pendingKey = QStringView();
        } else if (c == u'/') {
            if (wordLength > 0 && name.isEmpty())
                name = QStringView(data + wordStart, wordLength);
            wordLength = 0;
            if (name.isEmpty())
                endTag = true;
            else
                selfClosing = true;
        } else if (isWhitespace(c)) {
            if (wordLength > 0) {
                // A word followed by white space is the name, then a key
                // candidate; a bare word is replaced by the next one, so flag
                // attributes without "=" are never recorded.
                if (name.isEmpty())
                    name = QStringView(data + wordStart, wordLength);
                else
                    pendingKey = QStringView(data + wordStart, wordLength);
                wordLength = 0;
            }
        } else {
            if (wordLength == 0)
                wordStart = at;
            ++wordLength;
            // "/" only closes the tag when nothing but white space follows it.
            selfClosing = false;
        }
    }
}

// Reads an attribute value, the cursor just behind "=". An unquoted value ends
// only at white space or the end of the page, never at ">": pages that write
// href=/a/b> keep the ">" and what follows in the value, as browsers of old did.
void HyperParser::readValue(QStringView key)
{
    const QChar *const data = input_.data();
    QChar quote;
    qsizetype start = input_.position();
    qsizetype length = 0;

    for (;;) {
        if (!input_.hasNext())
            break;
        const qsizetype at = input_.position();
        const QChar c = input_.next();
        if (quote.isNull()) {
            if (isWhitespace(c)) {
                if (length == 0)
                    continue;
                break;
            }
            if (length == 0 && (c == u'"' || c == u'\'')) {
                quote = c;
                start = at + 1;
                continue;
            }
        } else if (c == quote) {
            break;
        }
        if (length == 0 && quote.isNull())
            start = at;
        ++length;
    }
    if (!key.isEmpty())
        attributes_.insert(key, QStringView(data + start, length));
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
