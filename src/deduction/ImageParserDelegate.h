#pragma once

#include <QString>
#include <QStringView>

#include "deduction/ImageElement.h"
#include "web/HyperParserDelegate.h"

// Collects the manga images of a reader page, each with the link that
// encloses it (the sites wrap the page image in a link to the next page).
// The image tests know every site's image addresses, so one parser serves
// pages of any site.
//
// Thread contract: made, fed by one HyperParser and read on one thread. The
// image hosts are read from the site configuration once, at creation.
class ImageParserDelegate : public HyperParserDelegate
{
public:
    ImageParserDelegate() : ImageParserDelegate(QString()) {}
    explicit ImageParserDelegate(const QString &rootPath);

    const QString &rootPath() const { return rootPath_; }
    const ImageElements &images() const { return images_; }

    bool isMangaImageWithSource(const QString &src) const;
    bool isMangaFoxImageWithSource(const QString &src) const;
    bool isMangaReaderImageWithSource(const QString &src) const;
    static bool isMangaHereImageWithSource(const QString &src);

    void didStartElement(HyperParser &parser, QStringView name, const HyperAttributes &attributes) override;
    void didEndElement(HyperParser &parser, QStringView name) override;

private:
    [[gnu::noinline]] void addImage(const HyperAttributes &attributes);
    bool isMangaFoxLower(const QString &lower) const;
    static bool isMangaHereLower(const QString &lower);

    QString rootPath_;
    ImageElements images_;
    QStringView currentHRef_; // into the page text being parsed
    bool startLink_ = false;
    QString mangaFoxStore_;      // image host + "/store/", lower-cased
    QString mangaReaderPattern_; // image host + the path shape of a page image
};
