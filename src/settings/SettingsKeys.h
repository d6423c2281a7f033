#pragma once

#include <QLatin1String>

// Every key of the settings file. Code names keys through these constants,
// never through literals, so a misspelt key cannot silently read a default.
namespace SettingsKeys {

// Reader and settings screen.
inline constexpr QLatin1String cropPage{"cropPage"};
inline constexpr QLatin1String portraitPageSize{"portraitPageSize"};
inline constexpr QLatin1String autoHideMenu{"autoHideMenu"};
inline constexpr QLatin1String autoLockLandscape{"autoLockLandscape"};
inline constexpr QLatin1String enableSwipeToNextPage{"enableSwipeToNextPage"};
inline constexpr QLatin1String whiteBackground{"whiteBackground"};
inline constexpr QLatin1String dimmerAlpha{"dimmerAlpha"};
inline constexpr QLatin1String autoSaveToLibrary{"autoSaveToLibrary"};

// Start-up and the remembered screen position.
inline constexpr QLatin1String lastTabVisited{"lastTabVisited"};
inline constexpr QLatin1String cleanAppExit{"cleanAppExit"};
inline constexpr QLatin1String downloadsRestoreLocation{"downloadsRestoreLocation"};
inline constexpr QLatin1String libraryRestoreLocation{"libraryRestoreLocation"};

// One-time notices.
inline constexpr QLatin1String showDeleteMessage{"showDeleteMessage"};
inline constexpr QLatin1String showMangaFoxUpdate{"showMangaFoxUpdate"};
inline constexpr QLatin1String showOneMangaUpdate{"showOneMangaUpdate"};

// One-shot upgrade flags: while set at start the site caches are emptied.
inline constexpr QLatin1String firstVersion1_9_10Launch{"firstVersion1_9_10Launch"};
inline constexpr QLatin1String firstVersionNoVizLaunch{"firstVersionNoVizLaunch"};

// Help notices: the show key stays set until the user ticks "do not show
// again"; the viewed key records that the notice was shown during this run.
inline constexpr QLatin1String showBasicHelp{"showBasicHelp"};
inline constexpr QLatin1String showBasicHelpViewed{"showBasicHelpViewed"};
inline constexpr QLatin1String showDownloadsHelp{"showDownloadsHelp"};
inline constexpr QLatin1String showDownloadsHelpViewed{"showDownloadsHelpViewed"};
inline constexpr QLatin1String showChaptersHelp{"showChaptersHelp"};
// The odd spelling is the key existing settings files already hold.
inline constexpr QLatin1String showChaptersHelpViewer{"showChaptersHelpViewer"};
inline constexpr QLatin1String showPagesHelp{"showPagesHelp"};
inline constexpr QLatin1String showPagesHelpViewed{"showPagesHelpViewed"};
inline constexpr QLatin1String showFavoritesHelp{"showFavoritesHelp"};
inline constexpr QLatin1String showFavoritesHelpViewed{"showFavoritesHelpViewed"};
inline constexpr QLatin1String showEditFavoritesHelp{"showEditFavoritesHelp"};
inline constexpr QLatin1String showEditFavoritesHelpViewed{"showEditFavoritesHelpViewed"};
inline constexpr QLatin1String showSettingsHelp{"showSettingsHelp"};
inline constexpr QLatin1String showSettingsHelpViewed{"showSettingsHelpViewed"};

struct HelpNoticeKeys {
    QLatin1String show;
    QLatin1String viewed;
};

inline constexpr HelpNoticeKeys basicHelp{showBasicHelp, showBasicHelpViewed};
inline constexpr HelpNoticeKeys downloadsHelp{showDownloadsHelp, showDownloadsHelpViewed};
inline constexpr HelpNoticeKeys chaptersHelp{showChaptersHelp, showChaptersHelpViewer};
inline constexpr HelpNoticeKeys pagesHelp{showPagesHelp, showPagesHelpViewed};
inline constexpr HelpNoticeKeys favoritesHelp{showFavoritesHelp, showFavoritesHelpViewed};
inline constexpr HelpNoticeKeys editFavoritesHelp{showEditFavoritesHelp, showEditFavoritesHelpViewed};
inline constexpr HelpNoticeKeys settingsHelp{showSettingsHelp, showSettingsHelpViewed};

inline constexpr HelpNoticeKeys helpNotices[] = {basicHelp,     downloadsHelp,     chaptersHelp, pagesHelp,
                                                 favoritesHelp, editFavoritesHelp, settingsHelp};

// Where each site lives: the hosts are configuration, so a site that moves
// needs only an edited settings file.
inline constexpr QLatin1String mangaFoxBaseURL{"mangaFoxBaseURL"};
inline constexpr QLatin1String mangaReaderBaseURL{"mangaReaderBaseURL"};
inline constexpr QLatin1String mangaHereBaseURL{"mangaHereBaseURL"};
inline constexpr QLatin1String oneMangaBaseURL{"oneMangaBaseURL"};
inline constexpr QLatin1String oneMangaMirrorBaseURL{"oneMangaMirrorBaseURL"};
inline constexpr QLatin1String bookShopSearchBaseURL{"bookShopSearchBaseURL"};

} // namespace SettingsKeys
