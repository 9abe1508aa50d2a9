#include "app/ui/auxiliary_windows.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/ui/hover_image_button.h"

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

AnalysisProgressDialog::AnalysisProgressDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AnalysisProgressDialog"));
    setWindowTitle(tr("Analysing"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(24, 20, 28, 20);
    layout->setSpacing(18);
    layout->addWidget(picture(QStringLiteral("Vendrel"), 64, this), 0, Qt::AlignTop);
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
    setFixedSize(440, 130);
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

SimpleWindow::SimpleWindow(const QString& title, const QString& text, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 18);
    layout->addWidget(heading(title, this));
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(420, 180);
}

AboutDialog::AboutDialog(QWidget* parent)
    : SimpleWindow(tr("About Vendrel"),
                   tr("Vendrel removes applications with everything they leave behind."), parent) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowModality(Qt::ApplicationModal);
}

ReviewsDialog::ReviewsDialog(QWidget* parent)
    : SimpleWindow(tr("Reviews"), tr("Tell us what you think of Vendrel."), parent) {
    setObjectName(QStringLiteral("ReviewsDialog"));
    setWindowModality(Qt::ApplicationModal);
}

DifficultyTipDialog::DifficultyTipDialog(QWidget* parent)
    : SimpleWindow(tr("Uninstall Difficulty"),
                   tr("The more places an application has left files in, the harder it is to "
                      "remove by hand. Applications that need a special removal rate 255."),
                   parent) {
    setObjectName(QStringLiteral("DifficultyTipDialog"));
    setWindowModality(Qt::WindowModal);
}

SelfRemovalDialog::SelfRemovalDialog(QWidget* parent)
    : SimpleWindow(tr("Remove Vendrel"), tr("Vendrel can remove itself and its helper."), parent) {
    setObjectName(QStringLiteral("SelfRemovalDialog"));
    setWindowModality(Qt::WindowModal);
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
