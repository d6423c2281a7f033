// Fuzzes the settings file loader with an arbitrary file: whatever it holds,
// loading gives a dictionary whose values read back as the same types after
// the settings are written and loaded again.
#include <QTemporaryDir>

#include "FuzzSupport.h"
#include "settings/MyUserDefaults.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("userDefaults"));
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the settings file");
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    QStringList keys;
    QStringList texts;
    {
        MyUserDefaults settings;
        settings.setFilename(path);
        // Keys are unknown; reading a few of every kind must never fail.
        for (const char *key : {"autoSaveToLibrary", "cropPage", "lastChapterURL", "mangaFoxBaseURL"}) {
            const QString k = QString::fromLatin1(key);
            (void)settings.boolForKey(k);
            (void)settings.integerForKey(k);
            (void)settings.floatForKey(k);
            (void)settings.arrayForKey(k);
            keys << k;
            texts << settings.stringForKey(k);
        }
        settings.setBool(true, QStringLiteral("fuzzMarker"));
        require(settings.synchronize(), "settings not written");
    }
    MyUserDefaults again;
    again.setFilename(path);
    require(again.boolForKey(QStringLiteral("fuzzMarker")), "written settings not read back");
    for (qsizetype i = 0; i < keys.size(); ++i)
        require(again.stringForKey(keys[i]) == texts[i], "a text changed on the way through the file");
    return 0;
}
