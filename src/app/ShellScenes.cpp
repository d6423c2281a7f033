// Scenes of the application shell: the tabs whose screens are still to
// come, the drawings, the wait overlay.
#include <memory>

#include <QPainter>

#include "app/MangaAppDelegate.h"
#include "app/screenshots/ScreenshotScene.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "ui/kit/Icons.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"

namespace {

// Every drawing, on the black bars and on a white row, at bar and tab sizes,
// so a reviewer can judge them before the screens that use them exist.
class IconSheet : public ViewController
{
public:
    IconSheet()
    {
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, QColor(0xdf, 0xe3, 0xe8));
        setPalette(palette);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const QStringList names = {
            QStringLiteral("tab-internet"), QStringLiteral("tab-downloads"), QStringLiteral("tab-library"),
            QStringLiteral("tab-import"),   QStringLiteral("tab-settings"),  QStringLiteral("pagebackward"),
            QStringLiteral("pageforward"),  QStringLiteral("viewlock"),      QStringLiteral("viewunlock"),
            QStringLiteral("action"),       QStringLiteral("reload"),        QStringLiteral("navinfobutton"),
            QStringLiteral("notice"),       QStringLiteral("check")};
        QPainter painter(this);
        const int rowHeight = 30;
        const qreal ratio = devicePixelRatioF();
        for (int i = 0; i < names.size(); ++i) {
            const QRect row(0, 8 + i * rowHeight, width(), rowHeight);
            painter.fillRect(QRect(0, row.top(), width() / 2, rowHeight), Qt::black);
            painter.fillRect(QRect(width() / 2, row.top(), width() - width() / 2, rowHeight), Qt::white);
            const QSize size(24, 24);
            const int y = row.top() + 3;
            painter.drawPixmap(6, y, Icons::pixmap(names[i], size, Qt::white, ratio));
            painter.drawPixmap(36, y, Icons::pixmap(names[i], size, QColor(0x3d, 0xa5, 0xff), ratio));
            painter.drawPixmap(66, y, Icons::pixmap(names[i], size, QColor(0xa0, 0xa0, 0xa0), ratio));
            painter.drawPixmap(width() / 2 + 6, y, Icons::pixmap(names[i], size, Qt::black, ratio));
            painter.drawPixmap(width() / 2 + 36, y,
                               Icons::pixmap(names[i], size, QColor(0x1f, 0x6f, 0xd6), ratio));
            painter.setPen(Qt::black);
            painter.drawText(QRect(width() / 2 + 66, row.top(), width() / 2 - 70, rowHeight),
                             Qt::AlignVCenter | Qt::AlignLeft, names[i]);
        }
    }
};

void selectTab(MangaAppDelegate &app, int tab)
{
    // The settings notice would cover the tab bar of every later scene.
    app.userDefaults().setBool(true, SettingsKeys::showSettingsHelpViewed);
    app.tabBarController()->setSelectedIndex(tab);
}

const ScreenshotScene::Registrar scenes{
    {QStringLiteral("internet"),
     [](MangaAppDelegate &app) { selectTab(app, MangaAppDelegate::InternetTab); }},
    {QStringLiteral("downloads"),
     [](MangaAppDelegate &app) { selectTab(app, MangaAppDelegate::DownloadsTab); }},
    {QStringLiteral("library"), [](MangaAppDelegate &app) { selectTab(app, MangaAppDelegate::LibraryTab); }},
    {QStringLiteral("import"), [](MangaAppDelegate &app) { selectTab(app, MangaAppDelegate::ImportTab); }},
    {QStringLiteral("icons"),
     [](MangaAppDelegate &app) {
         selectTab(app, MangaAppDelegate::SettingsTab);
         app.settingsNavigationController()->rootViewController()->presentModalViewController(
             std::make_unique<IconSheet>());
     }},
    {QStringLiteral("wait-overlay"),
     [](MangaAppDelegate &app) {
         selectTab(app, MangaAppDelegate::SettingsTab);
         app.showWaitOverlayWithTitle(QStringLiteral("Processing 3/9"));
     }},
};

} // namespace
