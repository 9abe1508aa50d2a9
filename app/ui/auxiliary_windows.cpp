#include "app/ui/auxiliary_windows.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "app/ui/hover_image_button.h"
#include "app/ui/hover_link.h"
#include "common/request_files.h"
#include "platform/http.h"
#include "platform/paths.h"
#include "platform/plist.h"

namespace vendrel::ui {

namespace {

QLabel* picture(const QString& imageName, int side, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setPixmap(QIcon(HoverImageButton::resourcePath(imageName))
                         .pixmap(QSize(side, side), parent->devicePixelRatioF()));
    label->setFixedSize(side, side);
    return label;
}

QLabel* heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setPointSizeF(f.pointSizeF() * 1.25);
    f.setBold(true);
    label->setFont(f);
    return label;
}

}  // namespace

// The logo with an arc turning around it while the analysis runs.
class BusyLogo : public QWidget {
  public:
    explicit BusyLogo(QWidget* parent)
        : QWidget(parent), logo_(HoverImageButton::resourcePath(QStringLiteral("Vendrel"))) {
        setFixedSize(76, 76);
        timer_.setInterval(30);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            angle_ = (angle_ + 8) % 360;
            update();
        });
    }
    bool isTurning() const { return timer_.isActive(); }

  protected:
    void showEvent(QShowEvent*) override { timer_.start(); }
    void hideEvent(QHideEvent*) override { timer_.stop(); }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        logo_.render(&p, QRectF(10, 10, 56, 56));
        p.setPen(QPen(QColor(0x2f, 0x9e, 0x8f), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(3, 3, 70, 70), -angle_ * 16, 100 * 16);
    }

  private:
    QSvgRenderer logo_;
    QTimer timer_;
    int angle_ = 0;
};

AnalysisProgressDialog::AnalysisProgressDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AnalysisProgressDialog"));
    setWindowTitle(tr("Analysing"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(24, 20, 28, 20);
    layout->setSpacing(18);
    logo_ = new BusyLogo(this);
    layout->addWidget(logo_, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    name_ = heading(QString(), this);
    stage_ = new QLabel(this);
    counts_ = new QLabel(this);
    counts_->setStyleSheet(QStringLiteral("color: #5b6b77;"));
    texts->addWidget(name_);
    texts->addWidget(stage_);
    texts->addWidget(counts_);
    texts->addStretch();
    layout->addLayout(texts, 1);
    setFixedSize(460, 130);
}

void AnalysisProgressDialog::begin(const QString& appName) {
    name_->setText(appName);
    counts_->clear();
}

void AnalysisProgressDialog::showStageLine(std::string_view text) {
    stage_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void AnalysisProgressDialog::showCountsLine(std::string_view text) {
    counts_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

QString AnalysisProgressDialog::stageLine() const {
    return stage_->text();
}

QString AnalysisProgressDialog::countsLine() const {
    return counts_->text();
}

bool AnalysisProgressDialog::isAnimating() const {
    return logo_->isTurning();
}

UntrustedAppsDialog::UntrustedAppsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("UntrustedAppsDialog"));
    setWindowTitle(tr("Untrusted applications"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 18);
    auto* top = new QHBoxLayout;
    top->addWidget(
        picture(QString::fromUtf8(MalwareList::kWarningImageName.data(),
                                  static_cast<qsizetype>(MalwareList::kWarningImageName.size())),
                48, this),
        0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(heading(tr("Untrusted applications are installed"), this));
    auto* text = new QLabel(tr("These applications are on the list of programs known to be "
                               "unwanted. Select one in the list and remove it like any other."),
                            this);
    text->setWordWrap(true);
    texts->addWidget(text);
    top->addLayout(texts, 1);
    layout->addLayout(top);
    table_ = new QTableWidget(0, 1, this);
    table_->setObjectName(QStringLiteral("column_App"));
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setIconSize(QSize(20, 20));
    layout->addWidget(table_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(460, 320);
}

void UntrustedAppsDialog::setApps(std::vector<MalwareList::UntrustedApp> apps) {
    apps_ = std::move(apps);
    reload();
}

void UntrustedAppsDialog::showEvent(QShowEvent* event) {
    reload();
    QDialog::showEvent(event);
}

void UntrustedAppsDialog::reload() {
    table_->setRowCount(static_cast<int>(apps_.size()));
    for (size_t i = 0; i < apps_.size(); ++i) {
        auto* item = new QTableWidgetItem(
            QIcon(HoverImageButton::resourcePath(QString::fromStdString(apps_[i].app_image))),
            QString::fromStdString(apps_[i].app_name));
        table_->setItem(static_cast<int>(i), 0, item);
    }
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(tr("About Vendrel"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 20);
    layout->setSpacing(6);
    layout->addWidget(picture(QStringLiteral("Vendrel"), 96, this), 0, Qt::AlignHCenter);
    auto* name = heading(QStringLiteral("Vendrel"), this);
    name->setAlignment(Qt::AlignHCenter);
    layout->addWidget(name);
    version_ = new QLabel(this);
    copyright_ = new QLabel(this);
    site_ = new HoverLink(this);
    mail_ = new HoverLink(this);
    for (QLabel* l :
         {version_, copyright_, static_cast<QLabel*>(site_), static_cast<QLabel*>(mail_)}) {
        l->setAlignment(Qt::AlignHCenter);
        layout->addWidget(l);
    }
    copyright_->setStyleSheet(QStringLiteral("color: #5b6b77;"));

    // Missing entries leave the lines as they are.
    const auto info = platform::plist::readDictionary(
        platform::appendPathComponent(platform::runningBundlePath(), "Contents/Info.plist"));
    if (info) {
        if (const std::string* v =
                platform::plist::stringForKey(*info, "CFBundleShortVersionString"))
            version_->setText(QStringLiteral("Version: %1").arg(QString::fromStdString(*v)));
        if (const std::string* c = platform::plist::stringForKey(*info, "NSHumanReadableCopyright"))
            copyright_->setText(QString::fromStdString(*c));
    }
    const QColor blue(0x1f, 0x6f, 0xd1);
    site_->setUp(siteUrl(), blue);
    site_->setAction([] { QDesktopServices::openUrl(QUrl(siteUrl())); });
    mail_->setUp(QString::fromLatin1(kSupportAddress), blue);
    mail_->setAction([] { QDesktopServices::openUrl(QUrl(mailUrl())); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setFixedWidth(380);
}

QString AboutDialog::siteUrl() {
    return QString::fromStdString(platform::http::serverBaseUrl());
}

QString AboutDialog::mailUrl() {
    return QStringLiteral("mailto:%1").arg(QString::fromLatin1(kSupportAddress));
}

ReviewsDialog::ReviewsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReviewsDialog"));
    setWindowTitle(tr("Reviews"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 18);
    layout->addWidget(heading(tr("Tell us what you think of Vendrel"), this));
    auto* form = new QFormLayout;
    name_ = new QLineEdit(this);
    email_ = new QLineEdit(this);
    name_->setPlaceholderText(tr("optional"));
    email_->setPlaceholderText(tr("optional, for an answer"));
    form->addRow(tr("Name:"), name_);
    form->addRow(tr("E-mail:"), email_);
    layout->addLayout(form);
    review_ = new QPlainTextEdit(this);
    review_->setPlaceholderText(tr("Your review"));
    layout->addWidget(review_, 1);
    auto* buttons = new QDialogButtonBox(this);
    submit_ = buttons->addButton(tr("Submit"), QDialogButtonBox::AcceptRole);
    submit_->setDefault(true);
    buttons->addButton(QDialogButtonBox::Close);
    connect(submit_, &QPushButton::clicked, this, &ReviewsDialog::submit);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(480, 380);
    submission_.reset();
}

QMessageBox* ReviewsDialog::openAlert() const {
    return alert_ && alert_->isVisible() ? alert_.data() : nullptr;
}

void ReviewsDialog::showAlert(const ReviewAlert& alert) {
    auto* box = new QMessageBox(this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setText(QString::fromStdString(alert.messageText));
    box->setInformativeText(QString::fromStdString(alert.informativeText));
    if (alert.warning)
        box->setIconPixmap(QIcon(HoverImageButton::resourcePath(QStringLiteral("Warn")))
                               .pixmap(QSize(64, 64), devicePixelRatioF()));
    else
        box->setIcon(QMessageBox::Information);
    box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    alert_ = box;
    box->open();
}

void ReviewsDialog::submit() {
    const auto decision = submission_.check(
        name_->text().toStdString(), email_->text().toStdString(),
        review_->toPlainText().toStdString(), UserReviewsSubmission::Clock::now());
    if (decision.kind == UserReviewsSubmission::Decision::Kind::Refused && decision.alert) {
        showAlert(*decision.alert);
        return;
    }
    if (decision.kind != UserReviewsSubmission::Decision::Kind::Accepted)
        return;
    // The post starts off this thread; the button stays disabled until it has, so a second
    // submission cannot start meanwhile.
    submit_->setEnabled(false);
    QPointer<ReviewsDialog> self(this);
    QThread* thread = QThread::create([decision] { UserReviewsSubmission::post(decision); });
    connect(thread, &QThread::finished, this, [this, self] {
        if (!self)
            return;
        showAlert(UserReviewsSubmission::completeAlert());
        submit_->setEnabled(true);
        submission_.markSubmitted(UserReviewsSubmission::Clock::now());
        emit posted();
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

void TipSheet::closeSheet() {
    if (parentWidget())
        reject();
}

void TipSheet::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && default_ && isActiveWindow())
        default_->setFocus();
    QDialog::changeEvent(event);
}

DifficultyTipDialog::DifficultyTipDialog(QWidget* parent) : TipSheet(parent) {
    setObjectName(QStringLiteral("DifficultyTipDialog"));
    setWindowTitle(tr("Uninstall Difficulty"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 18);
    layout->addWidget(heading(tr("What is \"Uninstall Difficulty\"?"), this));
    auto* text = new QLabel(
        tr("It counts the places outside its bundle where an application keeps files: support "
           "folders, preferences, caches, containers, receipts and helpers inside the bundle.\n\n"
           "Easy: few traces, the Trash would almost do.  Normal and Hard: more places to "
           "clean.  255: the application needs a special removal, which Vendrel knows how to "
           "do."),
        this);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(this);
    default_ = buttons->addButton(tr("Got it"), QDialogButtonBox::AcceptRole);
    default_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TipSheet::closeSheet);
    layout->addWidget(buttons);
    setFixedWidth(460);
}

SelfRemovalDialog::SelfRemovalDialog(QWidget* parent) : TipSheet(parent) {
    setObjectName(QStringLiteral("SelfRemovalDialog"));
    setWindowTitle(tr("Remove Vendrel"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 18);
    layout->setSpacing(18);
    layout->addWidget(picture(QStringLiteral("Warn"), 56, this), 0, Qt::AlignTop);
    auto* right = new QVBoxLayout;
    right->addWidget(heading(tr("Remove Vendrel and its helper?"), this));
    auto* text = new QLabel(tr("Vendrel and its removal helper will be removed from this Mac, "
                               "and Vendrel quits."),
                            this);
    text->setWordWrap(true);
    right->addWidget(text);
    auto* buttons = new QDialogButtonBox(this);
    remove_ = buttons->addButton(tr("Remove Vendrel"), QDialogButtonBox::DestructiveRole);
    default_ = buttons->addButton(tr("Keep Using Vendrel"), QDialogButtonBox::RejectRole);
    default_->setDefault(true);
    connect(default_, &QPushButton::clicked, this, &TipSheet::closeSheet);
    connect(remove_, &QPushButton::clicked, this, &SelfRemovalDialog::confirm);
    right->addWidget(buttons);
    layout->addLayout(right, 1);
    setFixedWidth(480);
}

void SelfRemovalDialog::confirm() {
    // The request names the installed product bundle, wherever this copy runs from; the
    // daemon acts for that bundle only.
    request_files::FolderList request;
    request.appName = "Vendrel";
    request.bundleId = "com.Vendrel.Ostrand";
    request.isFolder = "YES";
    request.installPath = "/Applications/Vendrel.app";
    request.userHome = platform::homeDirectory();
    request_files::writeFolderList(
        platform::appendPathComponent(platform::runningBundlePath(), "Contents"), request);
    closeSheet();
    emit removalRequested();
}

AdminPasswordDialog::AdminPasswordDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AdminPasswordDialog"));
    setWindowTitle(tr("Vendrel"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 18);
    layout->setSpacing(18);
    layout->addWidget(picture(QStringLiteral("Vendrel"), 64, this), 0, Qt::AlignTop);
    auto* right = new QVBoxLayout;
    right->addWidget(heading(tr("Vendrel wants to install its helper tool."), this));
    auto* text = new QLabel(
        tr("The helper removes what needs administrator rights. Enter an administrator's "
           "name and password to allow this."),
        this);
    text->setWordWrap(true);
    right->addWidget(text);
    auto* form = new QFormLayout;
    auto* user = new QLineEdit(qEnvironmentVariable("USER"), this);
    password_ = new QLineEdit(this);
    password_->setEchoMode(QLineEdit::Password);
    form->addRow(tr("User name:"), user);
    form->addRow(tr("Password:"), password_);
    right->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Cancel);
    buttons->addButton(tr("Install Helper"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    right->addWidget(buttons);
    layout->addLayout(right, 1);
    setFixedWidth(480);
}

}  // namespace vendrel::ui
