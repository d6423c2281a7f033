#include "ui/kit/MyAlertViewController.h"

#include <algorithm>

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSequentialAnimationGroup>
#include <QVBoxLayout>

#include "foundation/Localized.h"
#include "ui/kit/Icons.h"

namespace {
constexpr int FadeDelayMs = 300;
constexpr int FadeDurationMs = 250;
constexpr int PanelMargin = 16;
constexpr int PanelMaxWidth = 380;
} // namespace

MyAlertViewController::MyAlertViewController(const QString &title, const QString &message, QObject *delegate,
                                             ButtonSelector buttonSelector, QWidget *parent)
    : ViewController(parent), message_(message), delegate_(delegate),
      buttonSelector_(std::move(buttonSelector))
{
    setObjectName(QStringLiteral("Notice"));
    setTitle(title);
    hide();
}

MyAlertViewController::~MyAlertViewController() = default;

void MyAlertViewController::viewDidLoad()
{
    panel_ = new QWidget(this);
    panel_->setObjectName(QStringLiteral("NoticePanel"));
    panel_->setAttribute(Qt::WA_StyledBackground);
    panel_->setStyleSheet(QStringLiteral(
        "#NoticePanel { background: rgba(28,28,30,240); border: 1px solid #5a5a5e; border-radius: 12px; }"
        "#NoticeTitle { color: white; }"
        "#NoticeMessage { color: #e4e4e6; }"
        "QCheckBox { color: #e4e4e6; spacing: 8px; }"
        "QCheckBox::indicator { width: 18px; height: 18px; border: 1px solid #8e8e93; border-radius: 4px; "
        "background: #3a3a3c; }"
        "QCheckBox::indicator:checked { background: #1f6fd6; border-color: #1f6fd6; image: "
        "url(:/icons/check.svg); }"
        "QCheckBox:focus { color: white; }"
        "QPushButton { background: #f2f2f2; color: black; border: none; border-radius: 8px; padding: 8px; "
        "font-weight: bold; }"
        "QPushButton:focus { background: white; border: 2px solid #3da5ff; }"
        "QPushButton:pressed { background: #c8c8c8; }"));
    panelLayout_ = new QVBoxLayout(panel_);
    panelLayout_->setContentsMargins(18, 16, 18, 16);
    panelLayout_->setSpacing(10);

    auto *heading = new QHBoxLayout;
    heading->setSpacing(8);
    imageView_ = new QLabel(panel_);
    imageView_->setPixmap(Icons::pixmap(QStringLiteral("notice"), QSize(24, 24), QColor(0xff, 0xd3, 0x4d),
                                        devicePixelRatioF()));
    label_ = new QLabel(panel_);
    label_->setObjectName(QStringLiteral("NoticeTitle"));
    label_->setWordWrap(true);
    QFont titleFont = label_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    label_->setFont(titleFont);
    heading->addWidget(imageView_, 0, Qt::AlignTop);
    heading->addWidget(label_, 1);
    panelLayout_->addLayout(heading);

    textView_ = new QLabel(panel_);
    textView_->setObjectName(QStringLiteral("NoticeMessage"));
    textView_->setWordWrap(true);
    textView_->setTextFormat(Qt::PlainText);
    panelLayout_->addWidget(textView_);

    addControls();

    okButton_ = new QPushButton(localized("Ok"), panel_);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &MyAlertViewController::okButtonClicked);
    panelLayout_->addSpacing(4);
    panelLayout_->addWidget(okButton_);

    label_->setText(title());
    textView_->setText(message_);
}

void MyAlertViewController::okButtonClicked()
{
    // The delegate may have gone with its screen; then nobody is listening.
    if (delegate_ && buttonSelector_)
        buttonSelector_(this);
}

void MyAlertViewController::showOver(QWidget *screen)
{
    if (!screen || (parentWidget() == screen && isShowing()))
        return;
    loadViewIfNeeded();
    if (parentWidget() != screen) {
        if (parentWidget())
            parentWidget()->removeEventFilter(this);
        setParent(screen);
        screen->installEventFilter(this);
    }
    setGeometry(screen->rect());
    placePanel();

    auto *effect = new QGraphicsOpacityEffect(this);
    effect->setOpacity(0.0);
    setGraphicsEffect(effect);
    stopFade();
    fade_ = new QSequentialAnimationGroup(this);
    fade_->addPause(FadeDelayMs);
    auto *opacity = new QPropertyAnimation(effect, "opacity", fade_);
    opacity->setStartValue(0.0);
    opacity->setEndValue(1.0);
    opacity->setDuration(FadeDurationMs);
    fade_->addAnimation(opacity);
    // Once opaque the effect only costs: text renders crisper without it.
    connect(fade_, &QAbstractAnimation::finished, this, [this] { setGraphicsEffect(nullptr); });
    show();
    raise();
    okButton_->setFocus();
    fade_->start();
}

void MyAlertViewController::removeFromScreen()
{
    stopFade();
    setGraphicsEffect(nullptr);
    hide();
}

double MyAlertViewController::opacity() const
{
    if (auto *effect = qobject_cast<QGraphicsOpacityEffect *>(graphicsEffect()))
        return effect->opacity();
    return 1.0;
}

void MyAlertViewController::stopFade()
{
    if (fade_) {
        fade_->stop();
        fade_->deleteLater();
        fade_ = nullptr;
    }
}

void MyAlertViewController::placePanel()
{
    if (!panel_)
        return;
    const int width = std::min(PanelMaxWidth, this->width() - 2 * PanelMargin);
    panel_->setFixedWidth(std::max(width, 120));
    const int height = std::min(panel_->heightForWidth(panel_->width()), this->height() - 2 * PanelMargin);
    panel_->setFixedHeight(std::max(height, panel_->minimumSizeHint().height()));
    panel_->move((this->width() - panel_->width()) / 2,
                 std::max(PanelMargin, (this->height() - panel_->height()) / 2));
}

bool MyAlertViewController::eventFilter(QObject *watched, QEvent *event)
{
    // The view stretches with the screen under it.
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        placePanel();
    }
    return ViewController::eventFilter(watched, event);
}

void MyAlertViewController::resizeEvent(QResizeEvent *event)
{
    ViewController::resizeEvent(event);
    placePanel();
}

void MyAlertViewController::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        okButtonClicked();
        break;
    default:
        ViewController::keyPressEvent(event);
    }
}

void MyAlertViewController::mousePressEvent(QMouseEvent *event)
{
    // The shade keeps clicks from the screen beneath until the notice is read.
    event->accept();
}

void MyAlertViewController::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 90));
}
