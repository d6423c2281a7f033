#include "ie/IEDBExporter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "foundation/Localized.h"
#include "ie/zip/IEFSStats.h"
#include "ie/zip/IEZipper.h"
#include "store/AppData.h"
#include "foundation/Regex.h"

namespace {

constexpr quint64 kReservedBytes = 262'144'000;

// An older zip of the same name is replaced; anything else by that name (a
// folder, say) is the user's and stays.
// Returns 0, or the system's error number.
int removeOldZip(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return 0;
    if (info.isDir() && !info.isSymLink())
        return EISDIR;
    errno = 0;
    return QFile::remove(path) ? 0 : (errno ? errno : EIO);
}

} // namespace

bool IEDBExporter::fail(const QString &message, OptionalError *error)
{
    // Only the zip this export was writing goes: the folder of the same name
    // was never made here (it may be the user's unpacked copy of an earlier
    // export).
    if (!zipFileName_.isEmpty())
        QFile::remove(zipFileName_);
    if (error)
        *error = Error{ErrorDomain, 1, localized(message)};
    return false;
}

bool IEDBExporter::exportChapter(const Chapter &chapter, const QString &outputRootPath, OptionalError *error)
{
    zipFileName_.clear();
    zipOutputPath_.clear();
    AppData &appData = AppData::sharedAppData();
    const QString directory = appData.chapterDirectory(chapter);
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        return fail(QStringLiteral("No chapter?"), error);
    if (double(IEFSStats::freeSpace()) <= double(IEFSStats::sizeOfPath(directory)) * 1.1 + kReservedBytes)
        return fail(QStringLiteral("Not enough free space"), error);

    const QString base = chapterBaseName(chapter);
    zipOutputPath_ = outputRootPath + u'/' + base;
    const QString zipFileName = zipOutputPath_ + QStringLiteral(".zip");
    if (const int code = removeOldZip(zipFileName)) {
        if (error)
            *error = Error{QStringLiteral("FileErrorDomain"), code,
                           QStringLiteral("\u201C%1\u201D could not be removed.").arg(zipFileName)};
        return false;
    }
    zipFileName_ = zipFileName;

    auto pages = chapter.pages();
    std::sort(pages.begin(), pages.end(),
              [](const auto &a, const auto &b) { return a->number() < b->number(); });
    QStringList files, names;
    for (const auto &page : pages) {
        const QString file = appData.pageFileName(*page);
        if (!QFileInfo(file).isFile())
            continue;
        files << file;
        names << base + u'/' + pageBaseName(*page);
    }
    if (!IEZipper::zipFiles(files, names, zipFileName_))
        return fail(QStringLiteral("Failed to zip"), error);
    return true;
}

QString IEDBExporter::chapterBaseName(const Chapter &chapter, const QString &destDirectory)
{
    const auto book = chapter.book();
    const QString bookName = bookBaseNameFromTitle(book ? book->title() : QString());
    // The source goes in as it is, except that it must not open sub-folders.
    QString source = book ? book->rootTitle() : QString();
    source.replace(u'/', u'-').replace(u'\\', u'-');
    // Worked out on the exact number: in single precision a chapter such as
    // 458.1 of volume 21 (210458.1) would lose its decimal and come back from
    // the import as chapter 458.
    const Decimal n = chapter.number().value_or(Decimal(0));
    auto chapterText = [](const Decimal &c) {
        const long long firstDecimal = (c * Decimal(10)).integerPart() - c.integerPart() * 10;
        if (firstDecimal != 0)
            return QString::asprintf("%.1f", c.toDouble());
        return QString::number(c.integerPart());
    };
    QString name;
    if (n > Decimal(10000)) {
        const long long volume = n.integerPart() / 10000;
        const Decimal c = n - Decimal(volume * 10000);
        name = bookName + QStringLiteral("_v") + QString::number(volume) + QStringLiteral("_c") +
               chapterText(c) + u'[' + source + u']';
    } else {
        name = bookName + QStringLiteral("_c") + chapterText(n) + u'[' + source + u']';
    }
    return destDirectory.isEmpty() ? name : destDirectory + u'/' + name;
}

QString IEDBExporter::bookBaseNameFromTitle(const QString &title)
{
    QString name = title;
    name.replace(u'_', u'-');
    name = QString::fromLatin1(QUrl::toPercentEncoding(name, QByteArrayLiteral("/")));
    name.replace(QStringLiteral("%5B"), QStringLiteral("["));
    name.replace(QStringLiteral("%5D"), QStringLiteral("]"));
    name.replace(QStringLiteral("%20"), QStringLiteral(" "));
    name.replace(QStringLiteral("*"), QStringLiteral("%2A"));
    name = stringByReplacingOccurrencesOfRegex(name, QStringLiteral("^\\."), QStringLiteral("dot"));
    name.replace(u'/', u'-');
    return name;
}

QString IEDBExporter::pageBaseName(const Page &page)
{
    const QString uuid = page.uuid();
    if (uuid.endsWith(QStringLiteral("jpg")) || uuid.endsWith(QStringLiteral("png")))
        return uuid;
    return QString::asprintf("%03d.jpg", page.number());
}
