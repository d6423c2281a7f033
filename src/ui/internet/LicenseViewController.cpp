#include "ui/internet/LicenseViewController.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/Localized.h"
#include "foundation/UrlOpener.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "web/BookShopURL.h"

namespace {

constexpr int FadeMilliseconds = 400;
constexpr int TextPixels = 11;
constexpr int TextLines = 10;
constexpr QSize ButtonSize{120, 30};

} // namespace

LicenseViewController::LicenseViewController(const QString &bookTitle, ScreenServices services,
                                             QWidget *screen)
    : ViewController(screen), bookTitle_(bookTitle), services_(std::move(services))
{
    setObjectName(QStringLiteral("LicenseView"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#LicenseView { background: black; }"
                                 "QLabel { color: white; background: transparent; }"
                                 "QPushButton { background: #e8e8e8; color: black; border-radius: 6px; }"
                                 "QPushButton:pressed { background: #b0b0b0; }"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(14);
    layout->addStretch(1);
    label_ = new QLabel(this);
    QFont small = label_->font();
    small.setPixelSize(TextPixels);
    label_->setFont(small);
    label_->setWordWrap(true);
    label_->setAlignment(Qt::AlignCenter);
    label_->setMaximumHeight(QFontMetrics(small).lineSpacing() * TextLines);
    layout->addWidget(label_);
    auto addButton = [this, layout](const char *title) {
        auto *button = new QPushButton(localized(title), this);
        button->setFixedSize(ButtonSize);
        layout->addWidget(button, 0, Qt::AlignHCenter);
        return button;
    };
    dismissButton_ = addButton("Dismiss");
    buyButton_ = addButton("Buy at Amazon");
    layout->addStretch(1);
    connect(dismissButton_, &QPushButton::clicked, this, &LicenseViewController::dismissLicenseInfo);
    connect(buyButton_, &QPushButton::clicked, this, &LicenseViewController::buyAmazon);

    auto *opacity = new QGraphicsOpacityEffect(this);
    opacity->setOpacity(0);
    setGraphicsEffect(opacity);
    fade_ = new QPropertyAnimation(opacity, "opacity", this);
    fade_->setDuration(FadeMilliseconds);
    fade_->setStartValue(0.0);
    fade_->setEndValue(1.0);

    hide();
    if (screen)
        screen->installEventFilter(this);
}

void LicenseViewController::showLicenseInfo(const QString &text)
{
    if (text.isEmpty())
        return;
    label_->setText(text);
    if (QWidget *screen = parentWidget())
        setGeometry(screen->rect());
    show();
    raise();
    fade_->stop();
    fade_->start();
}

void LicenseViewController::dismissLicenseInfo()
{
    fade_->stop();
    hide();
}

void LicenseViewController::buyAmazon()
{
    if (!services_.urlOpener || !services_.userDefaults)
        return;
    services_.urlOpener->openUrl(BookShopSearchURL(
        services_.userDefaults->stringForKey(SettingsKeys::bookShopSearchBaseURL), bookTitle_));
}

bool LicenseViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return ViewController::eventFilter(watched, event);
}
