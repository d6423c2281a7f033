#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>

#include "ZipTestSupport.h"
#include "files/FilesRemover.h"
#include "foundation/OperationQueue.h"
#include "ie/IEDBExporter.h"
#include "ie/IEDBImporter.h"
#include "ie/IEDBImporterOperation.h"
#include "ie/IEFileNameParser.h"
#include "ie/IEImportDeducer.h"
#include "ie/IEImportUnzipper.h"
#include "ie/IEImporterOperation.h"
#include "ie/zip/IEZipper.h"
#include "store/BooksRequest.h"
#include "support/LibraryFixture.h"

namespace {

class ImportExportTest : public LibraryFixture
{
protected:
    QString temporary() const { return MyDirectories::sharedMyDirectories().temporaryDirectory(); }
    QString documents() const { return MyDirectories::sharedMyDirectories().documentDirectory(); }

    std::shared_ptr<Chapter> addChapter(const QString &title, const QString &source, const char *number)
    {
        auto book = appData().createBookWithTitle(title, source);
        auto chapter = appData().createChapterWithTitle(
            QStringLiteral("c"), Decimal::fromString(QString(QLatin1String(number))), 0, true);
        chapter->setBook(book);
        return chapter;
    }

    // A page image with white margins: 40 columns of content in 100.
    static QByteArray pageImage(int seed)
    {
        QImage image(100, 60, QImage::Format_Grayscale8);
        image.fill(255);
        for (int y = 0; y < 60; ++y)
            for (int x = 30; x < 70; ++x)
                image.setPixel(x, y, qRgb((x * seed + y) % 200, 0, 0));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

    // Runs the whole import of a zip as the documents screen and the two
    // form screens do, with the names parsed from the folders.
    std::vector<std::shared_ptr<Chapter>> importZip(const QString &zip, QString *failure = nullptr)
    {
        std::vector<std::shared_ptr<Chapter>> imported;
        bool done = false;
        auto unpack = std::make_shared<IEImporterOperation>(
            zip, temporary(), [&](IEImporterOperation &) { done = true; },
            [&](IEImporterOperation &) { done = true; });
        OperationQueue queue;
        queue.addOperation(unpack);
        EXPECT_TRUE(pumpEventsUntil([&] { return done; }));
        queue.waitUntilAllOperationsAreFinished();
        if (unpack->error()) {
            if (failure)
                *failure = unpack->error()->message;
            return imported;
        }
        IEFileNameParser book;
        book.parseString(unpack->chapters().first().baseName);
        for (IEImportChapter chapter : unpack->chapters()) {
            IEFileNameParser names;
            EXPECT_TRUE(names.parseString(chapter.baseName)) << chapter.baseName.toStdString();
            chapter.number =
                IEDBImporter::adjustedNumberFromChapterNumber(names.chapterNumber(), names.volumeNumber());
            chapter.title = IEDBImporter::titleFromChapterNumber(names.chapterNumber(), names.volumeNumber());
            done = false;
            bool ok = false;
            queue.addOperation(std::make_shared<IEDBImporterOperation>(
                book.bookTitle(), book.source(), chapter, [&](IEDBImporterOperation &) { done = true; },
                [&](IEDBImporterOperation &) { done = ok = true; }));
            EXPECT_TRUE(pumpEventsUntil([&] { return done; }));
            EXPECT_TRUE(ok);
        }
        for (const auto &found : context().fetch<Book>(BooksRequest(book.bookTitle(), book.source())))
            for (const auto &chapter : found->chapters())
                imported.push_back(chapter);
        return imported;
    }
};

TEST_F(ImportExportTest, ExportNamesCarryTitleVolumeChapterAndSource)
{
    EXPECT_EQ(IEDBExporter::chapterBaseName(*addChapter(QStringLiteral("B"), QStringLiteral("R"), "20015")),
              QStringLiteral("B_v2_c15[R]"));
    EXPECT_EQ(IEDBExporter::chapterBaseName(*addChapter(QStringLiteral("B"), QStringLiteral("R"), "7.5")),
              QStringLiteral("B_c7.5[R]"));
    EXPECT_EQ(IEDBExporter::chapterBaseName(*addChapter(QStringLiteral("B"), QStringLiteral("R"), "12.05")),
              QStringLiteral("B_c12[R]"));
    // Exact, where single precision would drop the decimal.
    EXPECT_EQ(
        IEDBExporter::chapterBaseName(*addChapter(QStringLiteral("B"), QStringLiteral("R"), "210458.1")),
        QStringLiteral("B_v21_c458.1[R]"));
    EXPECT_EQ(IEDBExporter::bookBaseNameFromTitle(QStringLiteral("Ai_no/Uta *1*")),
              QStringLiteral("Ai-no-Uta %2A1%2A"));
    EXPECT_EQ(IEDBExporter::bookBaseNameFromTitle(QStringLiteral(".hack [x]")),
              QStringLiteral("dothack [x]"));

    auto page = appData().createPageWithUrlString(QStringLiteral("http://x/a.gif"), 7, 1, 1);
    EXPECT_EQ(IEDBExporter::pageBaseName(*page), QStringLiteral("007.jpg"));
    page->setUuid(QStringLiteral("a1b2.jpg"));
    EXPECT_EQ(IEDBExporter::pageBaseName(*page), QStringLiteral("a1b2.jpg"));
}

TEST_F(ImportExportTest, FolderNamesParseByTheFirstPatternThatFits)
{
    struct Case {
        const char *name;
        const char *title, *volume, *chapter, *source;
    } cases[] = {
        {"Blue_Sky_v12_c105_[Team1]", "Blue Sky", "12", "105", "Team1"},
        {"[Team1]Red Moon - Ch45.5", "Red Moon", nullptr, "45.5", "Team1"},
        {"Green_Hill_c001_[Team1]", "Green Hill", nullptr, "1", "Team1"},
        {"B_c7.5[R]", "B", nullptr, "7.5", "R"},
    };
    for (const auto &c : cases) {
        IEFileNameParser parser;
        ASSERT_TRUE(parser.parseString(QLatin1String(c.name))) << c.name;
        EXPECT_EQ(parser.bookTitle(), QLatin1String(c.title)) << c.name;
        EXPECT_EQ(parser.volumeNumber(),
                  c.volume ? Decimal::fromString(QString(QLatin1String(c.volume))) : Decimal::notANumber());
        EXPECT_EQ(parser.chapterNumber(), Decimal::fromString(QString(QLatin1String(c.chapter)))) << c.name;
        EXPECT_EQ(parser.source(), QLatin1String(c.source)) << c.name;
    }
    IEFileNameParser parser;
    EXPECT_FALSE(parser.parseString(QStringLiteral("just a folder")));
    EXPECT_TRUE(parser.bookTitle().isNull());
    EXPECT_EQ(IEDBImporter::titleFromChapterNumber(Decimal(3), Decimal(0)), QStringLiteral("Chapter 3"));
    EXPECT_EQ(IEDBImporter::adjustedNumberFromChapterNumber(Decimal(3), Decimal(0)), Decimal(3));
    EXPECT_EQ(IEDBImporter::titleFromChapterNumber(Decimal::fromString(u"1.5"), Decimal(2)),
              QStringLiteral("Volume 2 Chapter 1.5"));
}

TEST_F(ImportExportTest, UnpackedFoldersReadAsChaptersOrAreRefused)
{
    const QString folder = temporary() + QStringLiteral("/T");
    auto read = [&](std::initializer_list<const char *> entries, QString *message) {
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        for (const char *entry : entries) {
            const QString file = QString::fromLatin1(entry);
            file.endsWith(u'/') ? void(QDir().mkpath(folder + u'/' + file))
                                : void(writeFile(folder + u'/' + file, "x"));
        }
        IEImportDeducer deducer;
        OptionalError error;
        const bool ok = deducer.readUnzippedPath(folder, &error);
        *message = error ? error->message : QString();
        EXPECT_EQ(ok, !error);
        QStringList out;
        for (const auto &chapter : deducer.chapters()) {
            QStringList names;
            for (const QString &page : chapter.pages)
                names << QFileInfo(page).fileName();
            out << chapter.baseName + u':' + names.join(u',');
        }
        return out;
    };
    QString message;
    EXPECT_EQ(read({"ch2/b.jpg", "ch1/.DS_Store", "ch1/a.jpg", ".DS_Store"}, &message),
              QStringList({QStringLiteral("ch1:.DS_Store,a.jpg"), QStringLiteral("ch2:b.jpg")}));
    // File-name order, whatever order the files were made in.
    EXPECT_EQ(read({"10.jpg", "02.jpg", "01.jpg"}, &message),
              QStringList({QStringLiteral("T:01.jpg,02.jpg,10.jpg")}));
    read({"ch1/a.jpg", "cover.jpg"}, &message);
    EXPECT_EQ(message, QStringLiteral("Cannot have a file and directory in the same path."));
    EXPECT_FALSE(QFileInfo::exists(folder)) << "a failed read removes the folder";
    read({"ch1/extra/a.jpg"}, &message);
    EXPECT_EQ(message, QStringLiteral("Zip file must be at most 2 levels deep."));
    read({"ch1/"}, &message);
    EXPECT_EQ(message, QStringLiteral("Cannot find files in ch1."));
    read({}, &message);
    EXPECT_EQ(message,
              QStringLiteral("Cannot find the unzipped file T.\nTry unzipping and rezipping the folder."));
}

TEST_F(ImportExportTest, UnpackingChecksSizeNameAndWhatTheZipHolds)
{
    const QString zips = root.path() + QStringLiteral("/zips");
    ASSERT_TRUE(writeRawZip(zips + QStringLiteral("/Title%5Bx%5D.zip"), {{"Title[x]/a.jpg", "a"}}));
    IEImportUnzipper unzipper;
    OptionalError error;
    ASSERT_TRUE(unzipper.unzipFileName(zips + QStringLiteral("/Title%5Bx%5D.zip"), temporary(), &error));
    EXPECT_EQ(unzipper.unzippedPath(), temporary() + QStringLiteral("/Title[x]"));

    ASSERT_TRUE(writeFile(zips + QStringLiteral("/big.zip"), QByteArray(209'715'200, 0)));
    EXPECT_FALSE(IEImportUnzipper().unzipFileName(zips + QStringLiteral("/big.zip"), temporary(), &error));
    EXPECT_EQ(error,
              Error({QStringLiteral("ZipperDomain"), 3, QStringLiteral("File too large (max 200 MB)")}));
    QFile::remove(zips + QStringLiteral("/big.zip"));

    // A zip that climbs out writes nothing anywhere.
    ASSERT_TRUE(
        writeRawZip(zips + QStringLiteral("/slip.zip"), {{"slip/a.jpg", "a"}, {"../../evil.jpg", "x"}}));
    EXPECT_FALSE(IEImportUnzipper().unzipFileName(zips + QStringLiteral("/slip.zip"), temporary(), &error));
    EXPECT_EQ(error, Error({QStringLiteral("ZipperDomain"), 1, QStringLiteral("Error in unzipping")}));
    EXPECT_FALSE(QFileInfo::exists(temporary() + QStringLiteral("/slip")));
    EXPECT_FALSE(QFileInfo::exists(root.path() + QStringLiteral("/evil.jpg")));

    // A zip that expands past the free space is stopped and everything it
    // wrote beside its folder goes too.
    ASSERT_TRUE(writeRawZip(zips + QStringLiteral("/bomb.zip"),
                            {{"loose.jpg", "x"}, {"bomb/a.bin", QByteArray(4 << 20, 'a')}}));
    FSStats::setFreeSpaceOverride(quint64(250ull << 20) + (1 << 20));
    EXPECT_FALSE(IEImportUnzipper().unzipFileName(zips + QStringLiteral("/bomb.zip"), temporary(), &error));
    EXPECT_EQ(error, Error({QStringLiteral("ZipperDomain"), 3, QStringLiteral("Not enough space")}));
    EXPECT_EQ(filesUnder(temporary()), QStringList({QStringLiteral("Title[x]/a.jpg")}));
}

TEST_F(ImportExportTest, AnExportedChapterImportsBackAsTheSameChapter)
{
    // Names that survive the trip: letters, digits and single spaces in the
    // title, a source of word characters, dots and dashes, numbers with at
    // most one decimal, with and without a volume.
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    auto pick = [&](const char *alphabet, int min, int max) {
        const int length = std::uniform_int_distribution(min, max)(random);
        QString out;
        for (int i = 0; i < length; ++i)
            out +=
                QLatin1Char(alphabet[std::uniform_int_distribution<size_t>(0, strlen(alphabet) - 1)(random)]);
        return out;
    };
    for (int round = 0; round < 6; ++round) {
        QStringList words;
        for (int w = std::uniform_int_distribution(1, 3)(random); w > 0; --w)
            words << pick("abcXYZ019", 1, 6);
        const QString title = words.join(u' ');
        const QString source = pick("abcQ09_.-", 1, 8);
        QString chapterText = QString::number(std::uniform_int_distribution(1, 999)(random));
        if (round % 2)
            chapterText += u'.' + QString::number(std::uniform_int_distribution(1, 9)(random));
        const Decimal chapterNumber = Decimal::fromString(chapterText);
        const Decimal volume =
            round % 3 ? Decimal(std::uniform_int_distribution(1, 40)(random)) : Decimal::notANumber();

        auto book = appData().createBookWithTitle(title, source);
        auto chapter = appData().createChapterWithTitle(
            QStringLiteral("x"), IEDBImporter::adjustedNumberFromChapterNumber(chapterNumber, volume), 2,
            true);
        chapter->setBook(book);
        QStringList files;
        for (int i = 0; i < 2; ++i) {
            auto page = appData().createPageWithUrlString(QStringLiteral("http://x/p.jpg"), i + 1, 1, 1);
            page->setChapter(chapter);
            appData().writeData(pageImage(i + 3), *page);
            files << page->uuid();
        }
        IEDBExporter exporter;
        OptionalError error;
        ASSERT_TRUE(exporter.exportChapter(*chapter, documents(), &error)) << error->message.toStdString();
        // Start from a library without the book.
        context().deleteObject(book);
        ASSERT_FALSE(appData().save());

        const auto imported = importZip(exporter.zipFileName());
        ASSERT_EQ(imported.size(), 1u) << exporter.zipFileName().toStdString();
        EXPECT_EQ(imported[0]->book()->title(), title);
        EXPECT_EQ(imported[0]->book()->rootTitle(), source);
        EXPECT_EQ(imported[0]->number(), chapter->number());
        EXPECT_EQ(imported[0]->title(), IEDBImporter::titleFromChapterNumber(chapterNumber, volume));
        QStringList names;
        for (const auto &page : imported[0]->pages()) {
            names << page->uuid();
            EXPECT_TRUE(QFileInfo(appData().pageFileName(*page)).isFile());
            EXPECT_EQ(page->width(), 100);
            EXPECT_GT(page->leftBorder(), 0) << "margins found on the way in";
        }
        names.sort();
        EXPECT_EQ(names, files);
        context().deleteObject(imported[0]->book());
        ASSERT_FALSE(appData().save());
    }
}

TEST_F(ImportExportTest, EscapedTitlesComeBackAsExported)
{
    // The export keeps "_" and "/" out of folder names (both become "-");
    // everything else it escapes comes back as it was.
    const QString titles[] = {
        QStringLiteral("Aoi's Golden Violin"), QStringLiteral("Caf\u00E9 \u00DCber Sch\u00F6n"),
        QStringLiteral("100% Love %41"),       QStringLiteral("Tom & Jerry + Friends"),
        QStringLiteral("Ai_no/Uta *1*"),       QStringLiteral("\u9B54\u6CD5 (Magic) #2!"),
    };
    int number = 1;
    for (const QString &title : titles) {
        SCOPED_TRACE(title.toStdString());
        auto chapter = addChapter(title, QStringLiteral("Team.1"), QByteArray::number(number++).constData());
        auto page = appData().createPageWithUrlString(QStringLiteral("http://x/p.jpg"), 1, 1, 1);
        page->setChapter(chapter);
        appData().writeData(pageImage(3), *page);
        IEDBExporter exporter;
        OptionalError error;
        ASSERT_TRUE(exporter.exportChapter(*chapter, documents(), &error));
        context().deleteObject(chapter->book());
        ASSERT_FALSE(appData().save());

        const auto imported = importZip(exporter.zipFileName());
        ASSERT_EQ(imported.size(), 1u);
        EXPECT_EQ(imported[0]->book()->title(), QString(title).replace(u'_', u'-').replace(u'/', u'-'));
        context().deleteObject(imported[0]->book());
        ASSERT_FALSE(appData().save());
    }

    // Names made by hand whose "%" escapes nothing, or nothing readable,
    // are kept as they are.
    for (const char *name : {"100%_Love_c3[T]", "Half %E3%81 Way_c3[T]", "Odd%zz_c3[T]"}) {
        IEFileNameParser parser;
        ASSERT_TRUE(parser.parseString(QLatin1String(name))) << name;
        EXPECT_EQ(parser.bookTitle(),
                  QString(QLatin1String(name)).section(QStringLiteral("_c3"), 0, 0).replace(u'_', u' '))
            << name;
    }
}

TEST_F(ImportExportTest, ExportTouchesNoFolderOfItsName)
{
    auto chapter = addChapter(QStringLiteral("B"), QStringLiteral("R"), "1");
    auto page = appData().createPageWithUrlString(QStringLiteral("http://x/1.jpg"), 1, 1, 1);
    page->setChapter(chapter);
    appData().writeData("one", *page);
    // The user's unpacked copy of an earlier export, and a folder that is
    // named like the zip itself.
    const QString unpacked = documents() + QStringLiteral("/B_c1[R]");
    const QString zipNamedFolder = unpacked + QStringLiteral(".zip");
    for (const QString &folder : {unpacked, zipNamedFolder}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile file(folder + QStringLiteral("/001.jpg"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("mine");
    }

    IEDBExporter exporter;
    OptionalError error;
    EXPECT_FALSE(exporter.exportChapter(*chapter, documents(), &error));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message.contains(zipNamedFolder)) << error->message.toStdString();
    EXPECT_TRUE(exporter.zipFileName().isEmpty()) << "nothing of this export for the caller to remove";
    EXPECT_TRUE(QFileInfo(zipNamedFolder + QStringLiteral("/001.jpg")).isFile());

    ASSERT_TRUE(QDir(zipNamedFolder).removeRecursively());
    ASSERT_TRUE(exporter.exportChapter(*chapter, documents(), &error));
    EXPECT_TRUE(QFileInfo(exporter.zipFileName()).isFile());
    // A failed export removes its own zip and nothing else.
    QFile::remove(appData().pageFileName(*page));
    EXPECT_FALSE(exporter.exportChapter(*chapter, documents(), &error));
    EXPECT_EQ(error->message, QStringLiteral("Failed to zip"));
    EXPECT_FALSE(QFileInfo::exists(exporter.zipFileName()));
    EXPECT_TRUE(QFileInfo(unpacked + QStringLiteral("/001.jpg")).isFile());
}

TEST_F(ImportExportTest, ExportLeavesOutMissingPagesAndFailsCleanlyWithoutAny)
{
    auto chapter = addChapter(QStringLiteral("B"), QStringLiteral("R"), "1");
    OptionalError error;
    EXPECT_FALSE(IEDBExporter().exportChapter(*chapter, documents(), &error));
    EXPECT_EQ(error->message, QStringLiteral("No chapter?"));

    auto kept = appData().createPageWithUrlString(QStringLiteral("http://x/1.jpg"), 1, 1, 1);
    kept->setChapter(chapter);
    appData().writeData("one", *kept);
    auto lost = appData().createPageWithUrlString(QStringLiteral("http://x/2.jpg"), 2, 1, 1);
    lost->setChapter(chapter);
    IEDBExporter exporter;
    ASSERT_TRUE(exporter.exportChapter(*chapter, documents(), &error));
    ASSERT_TRUE(exporter.exportChapter(*chapter, documents(), &error)) << "an older zip is replaced";
    ASSERT_TRUE(IEZipper::unzipFileName(exporter.zipFileName(), temporary()));
    EXPECT_EQ(filesUnder(temporary()), QStringList({QStringLiteral("B_c1[R]/001.jpg")}));

    QFile::remove(appData().pageFileName(*kept));
    EXPECT_FALSE(exporter.exportChapter(*chapter, documents(), &error));
    EXPECT_EQ(error->message, QStringLiteral("Failed to zip"));
    EXPECT_FALSE(QFileInfo::exists(exporter.zipFileName()));
}

} // namespace
