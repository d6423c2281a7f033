#pragma once

#include <memory>
#include <vector>

#include <QLatin1String>

#include "download/DownloadsDeleterController.h"
#include "download/DownloadsMoverController.h"
#include "ui/kit/ScreenServices.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class MyHelpAlertViewController;
class MyUserDefaults;
class QLabel;
class Slider;
class Switch;
class TableView;

// The Settings tab: the reader and download switches, the brightness and
// page-size sliders, the two bulk actions on the downloads (clean up, save
// to the library) and the uninstall notice, in a grouped table. Rows differ
// by device: tablets add the white background switch and the page-size
// slider; devices with swipe gestures add the tap/swipe switch.
// Switches write their setting at once; the brightness slider drives the
// screen-wide dimmer as it moves.
// Thread contract: main thread only.
class SettingsViewController : public ViewController,
                               public TableViewDataSource,
                               public TableViewDelegate,
                               public DownloadsMoverControllerDelegate,
                               public DownloadsDeleterControllerDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsViewController)

public:
    enum class Row {
        CropPage,
        AutoHideMenu,
        AutoSaveToLibrary,
        AutoLockLandscape,
        DisableTapToNextPage,
        WhiteBackground,
        Brightness,
        PageSize,
        CleanUpDownloads,
        SaveDownloadsToLibrary,
        UninstallNotice,
    };

    explicit SettingsViewController(ScreenServices services, QWidget *parent = nullptr);
    ~SettingsViewController() override;

    TableView *tableView() const { return tableView_; }
    MyHelpAlertViewController *alertViewController() const { return alertViewController_; }
    QLabel *sliderLabel() const { return sliderLabel_; }
    DownloadsMoverController *downloadsMoverController() const { return downloadsMoverController_.get(); }
    DownloadsDeleterController *downloadsDeleterController() const
    {
        return downloadsDeleterController_.get();
    }
    // The row shown at `path`, by the layout for this device.
    Row rowAt(const IndexPath &path) const;

    // What a switch does: stores its key's new value and writes the settings.
    void switchAction(QLatin1String key, bool on);
    // What moving the brightness slider to `value` (0 dark to 1 full) does.
    void setBrightness(double value);
    // What moving the page-size slider to `value` does.
    void setPageSize(double value);

    // TableViewDataSource
    int numberOfSections() override;
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    // TableViewDelegate
    int heightForRow(const IndexPath &path) override;
    bool willSelectRow(const IndexPath &path) override { return false; }
    void rowButtonTapped(const IndexPath &path) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;
    void viewWillDisappear() override;

private:
    void buildRows();
    // Sets every control from the settings, without storing anything.
    void updateControls();
    QString uninstallNotice() const;
    MyUserDefaults &userDefaults() const;

    ScreenServices services_;
    std::vector<std::vector<Row>> sections_;
    TableView *tableView_ = nullptr; // widgets are QObject children
    std::vector<std::pair<Row, Switch *>> switches_;
    Slider *brightnessSlider_ = nullptr;
    QWidget *pageSizeControl_ = nullptr;
    Slider *pageSizeSlider_ = nullptr;
    QLabel *sliderLabel_ = nullptr;
    MyHelpAlertViewController *alertViewController_ = nullptr;
    // The bulk actions; each asks first and shows its own progress.
    std::unique_ptr<DownloadsMoverController> downloadsMoverController_;
    std::unique_ptr<DownloadsDeleterController> downloadsDeleterController_;
};
