#include "ui/settings/SettingsViewController.h"

#include <algorithm>
#include <cmath>

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "files/MyDirectories.h"
#include "foundation/Device.h"
#include "foundation/Localized.h"
#include "reader/PageSizer.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "ui/kit/MyHelpAlertViewController.h"
#include "ui/kit/Slider.h"
#include "ui/kit/Switch.h"
#include "ui/kit/TabBarItem.h"
#include "ui/kit/TableView.h"

namespace {

using Row = SettingsViewController::Row;

struct SwitchRow {
    Row row;
    const char *text;
    QLatin1String key;
};

// "Disable tap to next page" is on when swiping turns the pages.
const SwitchRow switchRows[] = {
    {Row::CropPage, "Crop page", SettingsKeys::cropPage},
    {Row::AutoHideMenu, "Autohide menu", SettingsKeys::autoHideMenu},
    {Row::AutoSaveToLibrary, "Autosave to library", SettingsKeys::autoSaveToLibrary},
    {Row::AutoLockLandscape, "Autolock viewer when in landscape", SettingsKeys::autoLockLandscape},
    {Row::DisableTapToNextPage, "Disable tap to next page", SettingsKeys::enableSwipeToNextPage},
    {Row::WhiteBackground, "White background in viewer", SettingsKeys::whiteBackground},
};

const SwitchRow *switchRowFor(Row row)
{
    for (const SwitchRow &candidate : switchRows) {
        if (candidate.row == row)
            return &candidate;
    }
    return nullptr;
}

// Full left covers the screen with black at 30 % opacity.
constexpr double DarkestDimmer = 0.3;
// Page sizes within this of each other are the same step.
constexpr double PageSizeTolerance = 0.0001;
constexpr int RowHeight = 44;
constexpr int NoticeRowHeight = 132;

// The path the notice names on the handheld stands for this installation's home.
const QString HandheldHome = QStringLiteral("/var/mobile/Library/YomoraC");

} // namespace

SettingsViewController::SettingsViewController(ScreenServices services, QWidget *parent)
    : ViewController(parent), services_(std::move(services))
{
    setTitle(localized("Settings"));
    tabBarItem()->setImageName(QStringLiteral("tab-settings"));
}

SettingsViewController::~SettingsViewController()
{
    // The table asks this screen for rows until it goes.
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

MyUserDefaults &SettingsViewController::userDefaults() const
{
    return *services_.userDefaults;
}

void SettingsViewController::viewDidLoad()
{
    buildRows();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tableView_ = new TableView(TableView::Style::Grouped, this);
    tableView_->setAllowsSelection(false);
    layout->addWidget(tableView_);

    for (const auto &section : sections_) {
        for (Row row : section) {
            const SwitchRow *switchRow = switchRowFor(row);
            if (!switchRow)
                continue;
            auto *control = new Switch(this);
            control->hide(); // until the table places it over its row
            control->setAccessibleName(localized(switchRow->text));
            const QLatin1String key = switchRow->key;
            connect(control, &Switch::clicked, this, [this, key](bool on) { switchAction(key, on); });
            switches_.emplace_back(row, control);
        }
    }

    brightnessSlider_ = new Slider(this);
    brightnessSlider_->hide();
    brightnessSlider_->setAccessibleName(localized("Brightness"));
    connect(brightnessSlider_, &Slider::doubleValueChanged, this, &SettingsViewController::setBrightness);

    if (Device::isPad()) {
        pageSizeControl_ = new QWidget(this);
        pageSizeControl_->hide();
        pageSizeControl_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        auto *controlLayout = new QHBoxLayout(pageSizeControl_);
        controlLayout->setContentsMargins(0, 0, 0, 0);
        controlLayout->setSpacing(10);
        pageSizeSlider_ = new Slider(pageSizeControl_);
        pageSizeSlider_->setAccessibleName(localized("iPad page size"));
        sliderLabel_ = new QLabel(pageSizeControl_);
        sliderLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        sliderLabel_->setStyleSheet(QStringLiteral("color: #1f6fd6; background: transparent;"));
        // Wide enough for the longest name, so the slider does not jump.
        sliderLabel_->setFixedWidth(sliderLabel_->fontMetrics().horizontalAdvance(localized("Fit to width")) +
                                    6);
        controlLayout->addWidget(pageSizeSlider_, 1);
        controlLayout->addWidget(sliderLabel_);
        connect(pageSizeSlider_, &Slider::doubleValueChanged, this, &SettingsViewController::setPageSize);
    }

    const QString message = QStringLiteral("%1\n%2").arg(
        localized("-Autolock viewer when in landscape locks the orientation in landscape mode."),
        localized("It doesn't autorotate the viewer."));
    alertViewController_ = new MyHelpAlertViewController(
        localized("Did you know?"), message, this, [this](MyAlertViewController *) {
            alertViewController_->dismiss(userDefaults(), SettingsKeys::settingsHelp);
        });
    alertViewController_->setParent(this);
    alertViewController_->hide();

    downloadsMoverController_ = std::make_unique<DownloadsMoverController>(this);
    downloadsDeleterController_ = std::make_unique<DownloadsDeleterController>(this);

    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

void SettingsViewController::buildRows()
{
    const bool pad = Device::isPad();
    std::vector<Row> switches = {Row::CropPage, Row::AutoHideMenu, Row::AutoSaveToLibrary,
                                 Row::AutoLockLandscape};
    if (Device::hasSwipe())
        switches.push_back(Row::DisableTapToNextPage);
    if (pad)
        switches.push_back(Row::WhiteBackground);
    std::vector<Row> sliders = {Row::Brightness};
    if (pad)
        sliders.push_back(Row::PageSize);
    sections_ = {
        switches, sliders, {Row::CleanUpDownloads, Row::SaveDownloadsToLibrary}, {Row::UninstallNotice}};
}

void SettingsViewController::viewWillAppear()
{
    // A bulk action that finishes in the background reports here while the
    // screen shows; the controllers stop listening once it has gone.
    downloadsMoverController_->addToNotifications();
    downloadsDeleterController_->addToNotifications();
    updateControls();
    tableView_->reloadData();
}

void SettingsViewController::viewDidAppear()
{
    alertViewController_->showIfNeeded(this, userDefaults(), SettingsKeys::settingsHelp);
}

void SettingsViewController::viewWillDisappear()
{
    downloadsMoverController_->removeFromNotifications();
    downloadsDeleterController_->removeFromNotifications();
}

void SettingsViewController::updateControls()
{
    MyUserDefaults &defaults = userDefaults();
    for (const auto &[row, control] : switches_) {
        const QSignalBlocker blocker(control);
        control->setChecked(defaults.boolForKey(switchRowFor(row)->key));
    }
    {
        const QSignalBlocker blocker(brightnessSlider_);
        brightnessSlider_->setDoubleValue(
            std::clamp(1.0 + defaults.floatForKey(SettingsKeys::dimmerAlpha) / -DarkestDimmer, 0.0, 1.0));
    }
    if (pageSizeSlider_) {
        const double pageSize = defaults.floatForKey(SettingsKeys::portraitPageSize);
        const QSignalBlocker blocker(pageSizeSlider_);
        pageSizeSlider_->setDoubleValue(pageSize);
        sliderLabel_->setText(PageSizer::sliderLabelTextFromSliderValue(float(pageSize)));
    }
}

SettingsViewController::Row SettingsViewController::rowAt(const IndexPath &path) const
{
    return sections_.at(path.section).at(path.row);
}

int SettingsViewController::numberOfSections()
{
    return static_cast<int>(sections_.size());
}

int SettingsViewController::numberOfRows(int section)
{
    return section >= 0 && section < numberOfSections() ? static_cast<int>(sections_[section].size()) : 0;
}

TableCell SettingsViewController::cellForRow(const IndexPath &path)
{
    TableCell cell;
    cell.selectable = false;
    QFont font = tableView_->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.05);
    cell.font = font;
    cell.textLines = 2;
    const Row row = rowAt(path);
    if (const SwitchRow *switchRow = switchRowFor(row)) {
        cell.text = localized(switchRow->text);
        for (const auto &[switchRowId, control] : switches_) {
            if (switchRowId == row)
                cell.accessoryView = control;
        }
        return cell;
    }
    switch (row) {
    case Row::Brightness:
        cell.text = localized("Brightness");
        cell.accessoryView = brightnessSlider_;
        break;
    case Row::PageSize:
        cell.text = localized("iPad page size");
        cell.accessoryView = pageSizeControl_;
        break;
    case Row::CleanUpDownloads:
        cell.text = localized("Clean up downloads");
        cell.buttonTitle = localized("Delete");
        break;
    case Row::SaveDownloadsToLibrary:
        cell.text = localized("Save downloads to library");
        cell.buttonTitle = localized("Save");
        break;
    case Row::UninstallNotice: {
        cell.text = uninstallNotice();
        cell.textLines = 5;
        QFont noticeFont = tableView_->font();
        cell.font = noticeFont;
        cell.textColor = QColor(0x3a, 0x3a, 0x3c);
        break;
    }
    default:
        break;
    }
    return cell;
}

QString SettingsViewController::uninstallNotice() const
{
    QString remove = localized("(or remove /var/mobile/Library/YomoraC)");
    remove.replace(HandheldHome, MyDirectories::sharedMyDirectories().homeDirectory());
    return QStringLiteral("%1, %2.  %3")
        .arg(localized("*Important* To completely remove the app"),
             localized("delete all mangas before uninstalling"), remove);
}

int SettingsViewController::heightForRow(const IndexPath &path)
{
    return rowAt(path) == Row::UninstallNotice ? NoticeRowHeight : RowHeight;
}

void SettingsViewController::rowButtonTapped(const IndexPath &path)
{
    switch (rowAt(path)) {
    case Row::CleanUpDownloads:
        downloadsDeleterController_->deleteDownloads();
        break;
    case Row::SaveDownloadsToLibrary:
        downloadsMoverController_->moveDownloads();
        break;
    default:
        break;
    }
}

void SettingsViewController::switchAction(QLatin1String key, bool on)
{
    userDefaults().setBool(on, key);
    userDefaults().synchronize();
}

void SettingsViewController::setBrightness(double value)
{
    const double alpha = std::clamp((1.0 - value) * DarkestDimmer, 0.0, 1.0);
    // Written with the other settings later; the dimmer follows at once.
    userDefaults().setFloat(alpha, SettingsKeys::dimmerAlpha);
    if (services_.setDimmerAlpha)
        services_.setDimmerAlpha(alpha);
    if (brightnessSlider_ && std::abs(brightnessSlider_->doubleValue() - value) > 0.0005) {
        const QSignalBlocker blocker(brightnessSlider_);
        brightnessSlider_->setDoubleValue(value);
    }
}

void SettingsViewController::setPageSize(double value)
{
    if (sliderLabel_)
        sliderLabel_->setText(PageSizer::sliderLabelTextFromSliderValue(float(value)));
    // The steps are tenths; kept exact rather than as the nearest float.
    const double snapped = std::round(double(PageSizer::adjustedSliderValue(float(value))) * 10.0) / 10.0;
    if (std::abs(userDefaults().floatForKey(SettingsKeys::portraitPageSize) - snapped) > PageSizeTolerance) {
        userDefaults().setFloat(snapped, SettingsKeys::portraitPageSize);
        userDefaults().synchronize();
    }
}
