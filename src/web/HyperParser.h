#pragma once

#include <memory>

#include <QString>
#include <QStringView>

#include "foundation/Operation.h"
#include "web/HyperAttributes.h"
#include "web/HyperInput.h"

class HyperCodes;
class HyperParserDelegate;

// A small, tolerant markup tokenizer: it turns one page into a stream of
// events (text runs, start tags with attributes, end tags, comments, CDATA) for
// a HyperParserDelegate. It never fails and builds no tree: unclosed tags,
// stray "<" and broken quoting are absorbed, and start and end tags are not
// paired. Made for one page and used once.
//
// The page text is held once; every event's text is a view into it (see
// HyperParserDelegate for how long views live).
//
// Thread contract: parse() runs synchronously on the calling thread, usually a
// fetch operation's; a parser is used by one thread only and holds no locks.
// The only outside state it reads while running is the operation's cancel flag.
class HyperParser
{
public:
    explicit HyperParser(const QString &text);
    // codesPath names the character-reference table that decode() uses; when
    // it cannot be read, decode() knows only "&lt;", "&gt;" and "&nbsp;".
    HyperParser(const QString &text, const QString &codesPath);
    ~HyperParser();
    HyperParser(const HyperParser &) = delete;
    HyperParser &operator=(const HyperParser &) = delete;

    // Not owned; may be null.
    HyperParserDelegate *delegate() const { return delegate_; }
    void setDelegate(HyperParserDelegate *delegate) { delegate_ = delegate; }

    // The operation on whose behalf the page is parsed (not owned; may be
    // null): cancelling it stops the parser within one tag.
    Operation *operationDelegate() const { return operationDelegate_; }
    void setOperationDelegate(Operation *operation) { operationDelegate_ = operation; }

    // Tokenizes the whole page; returns at the end of the input, after
    // abortParsing(), or once the operation is cancelled.
    void parse();

    // Stops the parser before it reads further input; may be called from
    // inside any callback. Never cleared.
    void abortParsing() { abortParsing_ = true; }
    bool isParsingAborted() const { return abortParsing_; }

    // text with its named character references ("&lt;") replaced; an "&" that
    // no known name and ";" follow stays as it is. Returns text itself (shared,
    // not copied) when it holds no reference, and null for null.
    QString decode(const QString &text) const;

    // Whether s, from offset on, begins with prefix (exact code units; a prefix
    // longer than the rest of s is false).
    static bool string(QStringView s, QStringView prefix, qsizetype offset);

    // White space and line breaks: tab through carriage return, U+0085 and the
    // Unicode separators (space, no-break space, U+2000..U+200A, line and
    // paragraph separators, ...).
    static bool isWhitespace(QChar c) { return c.isSpace(); }

    const HyperInput &input() const { return input_; }

private:
    bool isCancelled() const { return operationDelegate_ && operationDelegate_->isCancelled(); }
    void parseElement();
    // Both run once or more per tag: inlined into parseElement().
    [[gnu::always_inline]] inline const char16_t *readValue(const char16_t *p, const char16_t *end,
                                                            QStringView key);
    [[gnu::always_inline]] inline void reportElement(QStringView name, bool endTag, bool selfClosing);

    std::shared_ptr<const HyperCodes> codes_;
    HyperInput input_;
    HyperParserDelegate *delegate_ = nullptr;
    bool abortParsing_ = false;
    Operation *operationDelegate_ = nullptr;
    // One list for every tag: a tag's attributes are views, so reusing the
    // list makes a tag cost no allocation at all.
    HyperAttributes attributes_;
};
