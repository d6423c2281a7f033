// The Import tab's scenes for yomora-screenshots: the documents folder with
// a few zips in it, and the two import forms as a zip leads to them.
#include <QDir>
#include <QFile>

#include "app/MangaAppDelegate.h"
#include "app/screenshots/ScreenshotScene.h"
#include "files/MyDirectories.h"
#include "ui/import/IEDocumentsViewController.h"
#include "ui/import/IEImportBookViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"

namespace {

IEDocumentsViewController *openDocuments(MangaAppDelegate &app)
{
    const QString folder = MyDirectories::sharedMyDirectories().documentDirectory();
    QDir().mkpath(folder);
    // Names only matter here; the list does not open the files.
    for (const char *name :
         {"Blue_Sky_v12_c105_[Team1].zip", "Night Train_c12.5[demo].zip", "[Team1]Red Moon - Ch45.5.zip",
          "Green_Hill_c001_[Team1].zip",
          "A rather long collection of chapters from the summer scanlation batch.zip", "reading-list.txt"}) {
        QFile file(folder + u'/' + QLatin1String(name));
        if (file.open(QIODevice::WriteOnly))
            file.write("PK");
    }
    app.tabBarController()->setSelectedIndex(MangaAppDelegate::ImportTab);
    ScreenshotScene::settle(50);
    return qobject_cast<IEDocumentsViewController *>(
        app.documentsNavigationController()->rootViewController());
}

IEImportBookViewController *openBookForm(MangaAppDelegate &app)
{
    openDocuments(app);
    QList<IEImportChapter> chapters;
    for (const char *name : {"Blue_Sky_v12_c105_[Team1]", "Blue_Sky_v12_c106_[Team1]"}) {
        IEImportChapter chapter;
        chapter.baseName = QLatin1String(name);
        chapters << chapter;
    }
    auto form =
        std::make_unique<IEImportBookViewController>(QStringLiteral("/tmp/Blue_Sky_v12_c105_[Team1]"),
                                                     QStringLiteral("Blue Sky over the Northern Harbour"),
                                                     QStringLiteral("Team1"), chapters, app.screenServices());
    IEImportBookViewController *raw = form.get();
    app.documentsNavigationController()->pushViewController(std::move(form));
    ScreenshotScene::settle(50);
    return raw;
}

const ScreenshotScene::Registrar scenes{
    {QStringLiteral("documents"), [](MangaAppDelegate &app) { openDocuments(app); }},
    {QStringLiteral("documents-edit"),
     [](MangaAppDelegate &app) {
         openDocuments(app)->setEditing(true);
         ScreenshotScene::settle(50);
     }},
    {QStringLiteral("documents-help"),
     [](MangaAppDelegate &app) {
         openDocuments(app)->showHelp();
         ScreenshotScene::settle(50);
     }},
    {QStringLiteral("import-book"), [](MangaAppDelegate &app) { openBookForm(app); }},
    {QStringLiteral("import-chapter"),
     [](MangaAppDelegate &app) {
         openBookForm(app)->next();
         ScreenshotScene::settle(50);
     }},
};

} // namespace
