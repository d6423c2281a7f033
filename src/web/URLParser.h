#pragma once

#include <memory>
#include <stdexcept>

#include <QString>

#include "foundation/Decimal.h"

// Raised by the base class for what only a site variant can do: a
// programming error, never a page or network failure.
class URLParserException : public std::logic_error
{
public:
    explicit URLParserException(const QString &reason);
    static const char *name() { return "URLParserException"; }
    QString reason() const { return QString::fromUtf8(what()); }
};

// Takes a chapter address apart into the book's name as the path writes it,
// the volume and the chapter, and derives the chapter's label and sort
// number. Each site writes its addresses differently, hence one subclass per
// site. A parser is built, read and dropped on one thread; it holds no state
// shared with others.
class URLParser
{
public:
    virtual ~URLParser() = default;

    // Builds a parser of the given class over the address and parses it.
    template <class T> static std::unique_ptr<T> create(const QString &urlString)
    {
        auto parser = std::make_unique<T>();
        parser->initWithURLString(urlString);
        return parser;
    }

    // The host's name between "www." and ".com"; null for other host forms.
    const QString &root() const { return root_; }
    const QString &title() const { return title_; }
    // Null when the address carries no volume.
    const QString &volume() const { return volume_; }
    // Null when the address did not match the site's patterns.
    const QString &chapter() const { return chapter_; }
    const QString &urlString() const { return urlString_; }

    // "Ch.7" or "Vol.2 Ch.10.5": numbers in plain form, leading zeros gone.
    QString chapterTitle() const;
    // The number chapters sort by.
    virtual Decimal adjustedChapterNumber() const;

    URLParser() = default;
    URLParser(const URLParser &) = delete;
    URLParser &operator=(const URLParser &) = delete;

protected:
    void initWithURLString(const QString &urlString);
    virtual void parse();

    // Applies one pattern; takes its groups when the first match has exactly
    // `components` parts (whole match plus groups). Group 1 is the title,
    // then the volume when `hasVolume`, then the chapter.
    bool matchPattern(const QString &pattern, int components, bool hasVolume);
    // MangaFox and MangaHere: volume × 10000 + chapter, or the bare chapter.
    Decimal volumeAdjustedNumber() const;

    QString root_;
    QString title_;
    QString volume_;
    QString chapter_;
    QString urlString_;
};
