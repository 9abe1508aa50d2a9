#include "app/ui/main_window.h"

#include <QAbstractTableModel>
#include <QDesktopServices>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QUrl>

#include "app/daemon_client/daemon_connection.h"
#include "app/daemon_client/helper_install.h"
#include "app/online/cloud_report.h"
#include "app/online/update_check.h"
#include "app/ui/catalogue_grid.h"
#include "app/ui/hover_image_button.h"
#include "common/daemon_messages.h"
#include "common/files.h"
#include "common/system_info.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/http.h"
#include "platform/strings.h"
#include "ui_main_window.h"

// The images live in a static library; its resource initializer must be pulled in by name.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace vendrel::ui {

const QString MainWindow::kNoSelectionMessage =
    QStringLiteral("Please select the app you want to remove first.");
const QString MainWindow::kNoSelectionInformative = QStringLiteral(
    "Click the Run Analysis button to check on the installation of target app and start the "
    "uninstall in setp 2.");
const QString MainWindow::kHelperToolMessage = QStringLiteral("Helper Tool");
const QString MainWindow::kHelperToolInformative = QStringLiteral(
    "The remove-engine is installed successfully.\r\nPlease reboot your macOS to complete its "
    "configurations.");

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The system's fixed waits in milliseconds, scaled like every other wait of the layer.
int scaledMs(double seconds) {
    return static_cast<int>(seconds * platform::timeScale() * 1000.0);
}

QPixmap imagePixmap(const QString& name, int side, qreal dpr) {
    return QIcon(HoverImageButton::resourcePath(name)).pixmap(QSize(side, side), dpr);
}

}  // namespace

// The Step 2 file table over the analysis job's handed-over list. Columns by identifier.
class FileTableModel : public QAbstractTableModel {
  public:
    static constexpr const char* kColumns[] = {"FileName", "FileSize", "FilePath"};
    FileTableModel(const AnalysisJob* job, QObject* parent)
        : QAbstractTableModel(parent), job_(job) {}
    void reload() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !job_ ? 0 : static_cast<int>(job_->numberOfRows());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 3;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        const auto value =
            job_->objectValue(kColumns[index.column()], static_cast<size_t>(index.row()));
        return value ? qs(*value) : QVariant();
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char* titles[] = {"Name", "Size", "Folder"};
        return QString::fromLatin1(titles[section]);
    }

  private:
    const AnalysisJob* job_;
};

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), form_(std::make_unique<Ui::MainWindow>()) {
    initResources();
    form_->setupUi(this);
    mainQueue_.setWakeUp([this] {
        QMetaObject::invokeMethod(
            this, [this] { mainQueue_.drain(); }, Qt::QueuedConnection);
    });
    AnalysisView& view = *this;
    job_ = std::make_unique<AnalysisJob>(workers_, mainQueue_, view);
    catalogueModel_ = new CatalogueModel(this);
    form_->catalogueGrid->setModel(catalogueModel_);
    fileModel_ = new FileTableModel(job_.get(), this);
    form_->filesTable->setModel(fileModel_);
    setWindowIcon(QIcon(HoverImageButton::resourcePath(QStringLiteral("Vendrel"))));
}

MainWindow::~MainWindow() {
    // Work still running on the workers may queue changes; nothing may wake a dead window.
    mainQueue_.setWakeUp(nullptr);
}

QString MainWindow::currentPage() const {
    return form_->steps->currentWidget()->objectName();
}

QMessageBox* MainWindow::openAlert() const {
    return alert_ && alert_->isVisible() ? alert_.data() : nullptr;
}

void MainWindow::start() {
    // 1. State.
    osVersion_ = system::osVersion();
    RemovalServices services;
    services.sendDeleteRequest = daemon_client::sendRemovalRequest;
    services.postUninstall = [](const std::string& name, const std::string& osVersion) {
        CloudReport().postUninstall(name, osVersion, std::nullopt);
    };
    // The catalogue is rebuilt on this thread once the removal has ended (removalFinished).
    flow_ = std::make_unique<RemovalFlow>(mainQueue_, std::move(services), osVersion_);
    catalogue_.clearSelection();
    tipUntrustedApps_ = false;

    // 2. The selection and self-removal signals.
    connect(form_->catalogueGrid, &CatalogueGrid::appChosen, this, &MainWindow::appSelected);
    connect(this, &MainWindow::appSelected, this, &MainWindow::showSelectedApp);
    connect(this, &MainWindow::selfRemovalRequested, this, &MainWindow::removeSelf);

    // 3. The auxiliary windows, once.
    if (!reviews_)
        reviews_ = new ReviewsDialog(this);
    if (!about_)
        about_ = new AboutDialog(this);
    if (!progress_)
        progress_ = new AnalysisProgressDialog(this);
    if (!difficultyTip_)
        difficultyTip_ = new DifficultyTipDialog(this);
    if (!selfRemoval_) {
        selfRemoval_ = new SelfRemovalDialog(this);
        connect(selfRemoval_, &SelfRemovalDialog::removalRequested, this,
                &MainWindow::selfRemovalRequested);
    }
    if (!untrustedTip_)
        untrustedTip_ = new UntrustedAppsDialog(this);

    // The application menu: About and the self-removal.
    if (menuBar()->actions().isEmpty()) {
        QMenu* menu = menuBar()->addMenu(QStringLiteral("Vendrel"));
        menu->addAction(tr("About Vendrel"), this, &MainWindow::openAbout);
        menu->addSeparator();
        menu->addAction(tr("Remove Vendrel…"), this, &MainWindow::askSelfRemoval);
        menu->addSeparator();
        menu->addAction(tr("Quit"), QKeySequence::Quit, this, &MainWindow::close);
    }

    // 4.-6. Hover controls, links, the top box.
    configureControls();
    styleWindow();

    // 7. Step 1: the detail panel hidden until a selection, the check box off.
    form_->detailPanel->hide();
    form_->selectionHint->show();
    form_->showAppleCheck->setChecked(false);
    selectPage(QStringLiteral("Step_1"));

    // 8. Step 2's table.
    form_->filesTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    form_->filesTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    form_->filesTable->horizontalHeader()->setStretchLastSection(true);
    form_->filesTable->setColumnWidth(0, 260);
    form_->filesTable->verticalHeader()->hide();
    form_->filesTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    form_->filesTable->setShowGrid(false);
    form_->filesTable->setAlternatingRowColors(true);
    form_->filesTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    form_->leftoversList->setRootIsDecorated(false);
    // The user's choice goes back into the finding it was made on.
    connect(
        form_->leftoversList, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
            const int row = form_->leftoversList->indexOfTopLevelItem(item);
            if (row >= 0 && static_cast<size_t>(row) < leftovers_.size())
                leftovers_[static_cast<size_t>(row)].checked = item->checkState(0) == Qt::Checked;
        });
    form_->leftoversList->setAlternatingRowColors(true);
    form_->leftoversList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    form_->leftoversList->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    // 9a. The update check, off this thread.
    workers_.async([this] {
        UpdateCheck::fetchNewInfo();
        if (UpdateCheck::isUpdateAvailable())
            mainQueue_.async([this] { form_->updateLink->show(); });
    });
    // 9b. The helper and the first fill, after start() has returned.
    QTimer::singleShot(0, this, [this] {
        if (installHelper())
            QTimer::singleShot(0, this, &MainWindow::firstFill);
    });
}

void MainWindow::configureControls() {
    struct ButtonSetup {
        HoverImageButton* button;
        void (MainWindow::*action)();
        const char* image;
    };
    const ButtonSetup buttons[] = {
        {form_->reviewsButton, &MainWindow::openReviews, "Bn_Reviews"},
        {form_->aboutButton, &MainWindow::openAbout, "Bn_About"},
        {form_->runAnalysisButton, &MainWindow::runAnalysis, "Bn_RunAnalysis"},
        {form_->refreshButton, &MainWindow::refreshCatalogue, "Bn_Refresh"},
        {form_->backToStep1Button, &MainWindow::backFromAnalysis, "Bn_BacktoStep1"},
        {form_->completeUninstallButton, &MainWindow::completeUninstall, "Bn_CompleteUninstall"},
        {form_->backToListButton, &MainWindow::backFromResult, "Bn_BacktoInterface"},
    };
    for (const ButtonSetup& b : buttons) {
        const QString normal = QString::fromLatin1(b.image);
        b.button->setImages(normal + QStringLiteral("_H"), normal);
        b.button->setAction([this, action = b.action] { (this->*action)(); });
    }
    form_->difficultyTipLink->setUp(QStringLiteral("What is \"Uninstall Difficulty\"?"),
                                    QColor(0x1f, 0x6f, 0xd1));
    form_->difficultyTipLink->setAction([this] { showDifficultyTip(); });
    QPalette link = form_->difficultyTipLink->palette();
    link.setColor(QPalette::WindowText, QColor(0x4a, 0x6a, 0x85));
    form_->difficultyTipLink->setPalette(link);
    form_->updateLink->setUp(qs(kUpdateNotice), QColor(0x9f, 0xd8, 0xff));
    form_->updateLink->setAction([this] { openUpdateSite(); });
    form_->updateLink->hide();
    connect(form_->showAppleCheck, &QCheckBox::clicked, this, &MainWindow::showAppleToggled);
}

void MainWindow::styleWindow() {
    // The top box: the device colour 72/92/106.
    QPalette top = form_->topBox->palette();
    top.setColor(QPalette::Window, QColor(72, 92, 106));
    top.setColor(QPalette::WindowText, Qt::white);
    form_->topBox->setPalette(top);
    form_->topBox->setStyleSheet(
        QStringLiteral("#topBox { background: rgb(72, 92, 106); }"
                       "#topBox QLabel { color: white; }"
                       "#stepLabel { color: rgba(255, 255, 255, 170); }"));
    QFont title = form_->titleLabel->font();
    title.setPointSizeF(title.pointSizeF() * 1.5);
    title.setBold(true);
    form_->titleLabel->setFont(title);
    form_->logoLabel->setPixmap(imagePixmap(QStringLiteral("Vendrel"), 48, devicePixelRatioF()));

    setStyleSheet(QStringLiteral(
        "QMainWindow, #steps > QWidget { background: #f6f8fa; }"
        "#bottomBar, #summaryPanel { background: white; border: 1px solid #dbe2e7; border-radius: "
        "10px; }"
        "#bottomBar QLabel, #summaryPanel QLabel { border: none; background: transparent; }"
        "#catalogueGrid { background: white; border: 1px solid #dbe2e7; border-radius: 10px; "
        "padding: 6px; }"
        "#catalogueCount, #selectionHint, #selectedPublisher, #selectedVersion, "
        "#selectedInstallDate,"
        " #analysedTotals, #resultNote, #removingLabel { color: #5b6b77; }"
        "QTableView, QTreeWidget { background: white; border: 1px solid #dbe2e7; "
        "alternate-background-color: #f3f6f8; }"
        "QTabWidget::pane { border: none; }"));
    auto bold = [](QLabel* label, double scale) {
        QFont f = label->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * scale);
        label->setFont(f);
    };
    bold(form_->catalogueHeading, 1.15);
    bold(form_->selectedName, 1.1);
    bold(form_->analysedName, 1.35);
    bold(form_->resultName, 1.45);
    form_->resultIcon->setPixmap(imagePixmap(QStringLiteral("Vendrel"), 96, devicePixelRatioF()));
}

void MainWindow::selectPage(const QString& name) {
    QWidget* page = form_->steps->findChild<QWidget*>(name);
    if (page)
        form_->steps->setCurrentWidget(page);
    static const QHash<QString, QString> steps = {
        {QStringLiteral("Step_1"), QStringLiteral("Step 1 of 3 · Choose an application")},
        {QStringLiteral("Step_2"), QStringLiteral("Step 2 of 3 · Review what will be removed")},
        {QStringLiteral("Step_US"), QStringLiteral("Step 3 of 3 · Done")},
    };
    form_->stepLabel->setText(steps.value(name));
}

// ---- Start-up ----

namespace {

// Whether the start-up installation will ask for authorization: the daemon is missing or
// carries another version. Reads only; the installer itself asks the old daemon to leave.
bool helperNeedsInstall() {
    if (!platform::fs::fileExists(daemon_messages::kInstalledLaunchdPlist))
        return true;
    return !platform::equals65(daemon_client::applicationDaemonVersion(),
                               daemon_client::installedDaemonVersion());
}

}  // namespace

bool MainWindow::installHelper() {
    // The platform's authorization takes its answer from VENDREL_AUTH when that is set (tests,
    // scripted runs); otherwise the password dialog stands in for the system's: Cancel cancels,
    // "Install Helper" leaves the decision to the platform's own administrator check.
    const bool ask = !qEnvironmentVariableIsSet("VENDREL_AUTH") && helperNeedsInstall();
    bool cancelled = false;
    if (ask) {
        AdminPasswordDialog dialog(this);
        cancelled = dialog.exec() != QDialog::Accepted;
    }
    if (cancelled)
        qputenv("VENDREL_AUTH", "cancel");
    HelperInstaller installer;
    const HelperInstaller::LaunchResult result = installer.installAtLaunch();
    if (cancelled)
        qunsetenv("VENDREL_AUTH");
    if (result.terminate) {
        emit terminateRequested();
        return false;
    }
    helperInstallFailed_ = result.outcome == HelperInstaller::Outcome::Failed;
    return true;
}

void MainWindow::firstFill() {
    rebuildCatalogue();
    QTimer::singleShot(scaledMs(0.5), this, &MainWindow::endStartUp);
}

void MainWindow::endStartUp() {
    if (helperInstallFailed_)
        showHelperToolAlert();
    else if (!untrustedTip_->apps().empty())
        untrustedTip_->open();
    emit startUpFinished();
}

// ---- Step 1 ----

void MainWindow::rebuildCatalogue() {
    form_->detailPanel->hide();
    form_->selectionHint->show();
    catalogue_.clearSelection();
    catalogue_.rebuild(form_->showAppleCheck->isChecked());
    catalogueModel_->setApps(catalogue_.apps);
    form_->catalogueGrid->clearSelection();
    form_->catalogueCount->setText(
        catalogue_.apps.size() == 1 ? tr("1 item") : tr("%1 items").arg(catalogue_.apps.size()));
    untrustedTip_->setApps(malwareList_.untrustedApps());
    form_->catalogueGrid->verticalScrollBar()->setValue(0);
    form_->catalogueGrid->scrollToTop();
    if (tipUntrustedApps_)
        showUntrustedTipIfAny();
}

void MainWindow::showUntrustedTipIfAny() {
    if (!untrustedTip_->apps().empty() && !untrustedTip_->isVisible())
        untrustedTip_->open();
}

void MainWindow::showAppleToggled() {
    rebuildCatalogue();
}

void MainWindow::refreshCatalogue() {
    tipUntrustedApps_ = true;
    showAppleToggled();
}

void MainWindow::showSelectedApp() {
    const int row = form_->catalogueGrid->selectedRow();
    if (row < 0 || static_cast<size_t>(row) >= catalogue_.apps.size())
        return;
    catalogue_.select(static_cast<size_t>(row));
    const InstalledApp& app = *catalogue_.selected;
    form_->selectedIcon->setPixmap(appIcon(app).pixmap(QSize(56, 56), devicePixelRatioF()));
    form_->selectedName->setText(qs(app.name.get()));
    form_->selectedPublisher->setText(QStringLiteral("Publisher: %1").arg(qs(app.bundleId.get())));
    form_->selectedVersion->setText(QStringLiteral("Version: %1").arg(qs(app.version.get())));
    form_->selectedInstallDate->setText(
        QStringLiteral("Installation date: %1").arg(qs(app.installDate.get().value_or("N/A"))));
    form_->selectionHint->hide();
    form_->detailPanel->show();
}

QMessageBox* MainWindow::showAlert(const QString& message, const QString& informative,
                                   const QStringList& buttons, const QPixmap& icon) {
    auto* box = new QMessageBox(this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setWindowTitle(QStringLiteral("Vendrel"));
    box->setText(message);
    box->setInformativeText(informative);
    if (icon.isNull())
        box->setIconPixmap(imagePixmap(QStringLiteral("Vendrel"), 64, devicePixelRatioF()));
    else
        box->setIconPixmap(icon);
    for (const QString& title : buttons)
        box->addButton(title, QMessageBox::AcceptRole);
    // The message reads as the alert's title, the informative text as its explanation.
    box->setStyleSheet(
        QStringLiteral("#qt_msgbox_label { font-weight: bold; min-width: 320px; }"
                       "#qt_msgbox_informativelabel { min-width: 320px; color: #3d4b55; }"
                       "QPushButton { min-width: 72px; padding: 4px 12px; }"));
    alert_ = box;
    box->open();
    return box;
}

void MainWindow::showHelperToolAlert() {
    showAlert(kHelperToolMessage, kHelperToolInformative, {QStringLiteral("OK")});
}

void MainWindow::runAnalysis() {
    if (helperInstallFailed_) {
        showHelperToolAlert();
        return;
    }
    if (!catalogue_.selected) {
        showAlert(kNoSelectionMessage, kNoSelectionInformative, {QStringLiteral("OK")},
                  imagePixmap(QStringLiteral("Warn"), 64, devicePixelRatioF()));
        return;
    }
    const InstalledAppRef record = catalogue_.selected;
    const AnalysisJob::Start started = job_->start(record);
    if (started == AnalysisJob::Start::Started)
        progress_->begin(qs(record->name.get()));
    // A second press while a job runs shows that job's window again.
    progress_->move(geometry().center() - progress_->rect().center());
    progress_->show();
    progress_->raise();
    if (started == AnalysisJob::Start::Started && leftoverSource_) {
        workers_.async([this, record, source = leftoverSource_] {
            auto found = source(*record);
            mainQueue_.async([this, found = std::move(found)]() mutable {
                leftovers_ = std::move(found);
                fillLeftovers();
            });
        });
    } else if (started == AnalysisJob::Start::Started) {
        leftovers_.clear();
    }
}

// ---- The analysis job's view ----

void MainWindow::showStageLine(std::string_view text) {
    progress_->showStageLine(text);
}

void MainWindow::showCountsLine(std::string_view text) {
    progress_->showCountsLine(text);
}

void MainWindow::resultListChanged() {
    fileModel_->reload();
}

void MainWindow::present(const AnalysisResult& result) {
    QIcon icon = appIcon(*result.record);
    form_->analysedIcon->setPixmap(icon.pixmap(QSize(72, 72), devicePixelRatioF()));
    form_->analysedName->setText(qs(result.name));
    form_->analysedTotals->setText(qs(result.totalsLine));
    form_->analysedDifficulty->setText(qs(result.difficultyLine));
    const RgbColour c = result.difficulty.colour;
    const QColor colour =
        c.systemRed ? QColor(0xd0, 0x49, 0x3d)
                    : QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green),
                                       static_cast<float>(c.blue));
    form_->analysedDifficulty->setStyleSheet(
        QStringLiteral("color: %1; font-weight: bold;").arg(colour.name()));
    form_->resultTabs->setTabText(
        0, tr("Files inside the application (%1)").arg(job_->numberOfRows()));
    form_->resultTabs->setCurrentIndex(0);
    fillLeftovers();
    progress_->hide();
    selectPage(QStringLiteral("Step_2"));
    emit analysisPresented();
}

void MainWindow::fillLeftovers() {
    QTreeWidget* list = form_->leftoversList;
    const QSignalBlocker filling(list);
    list->clear();
    for (const LeftoverFinding& f : leftovers_) {
        auto* item = new QTreeWidgetItem(list);
        item->setText(0, qs(f.path));
        item->setText(1, qs(files::sizeText(f.sizeBytes)));
        item->setText(2, qs(f.evidence));
        item->setToolTip(2, qs(f.rule));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, f.checked ? Qt::Checked : Qt::Unchecked);
    }
    const bool empty = leftovers_.empty();
    list->setVisible(!empty);
    form_->leftoversEmpty->setVisible(empty);
    form_->leftoversEmpty->setText(
        tr("Nothing of this application was found outside its bundle.\n"
           "Its support files, caches and preferences are swept when it is removed."));
    form_->resultTabs->setTabText(1, tr("Leftovers elsewhere (%1)").arg(leftovers_.size()));
}

void MainWindow::backFromAnalysis() {
    if (removing_)
        return;
    tipUntrustedApps_ = true;
    showAppleToggled();
    selectPage(QStringLiteral("Step_1"));
}

// ---- Removal ----

void MainWindow::completeUninstall() {
    if (removing_ || !catalogue_.selected)
        return;
    const InstalledApp& app = *catalogue_.selected;
    QMessageBox* box =
        showAlert(qs(app.name.get()), qs(RemovalFlow::confirmationText(app.name.get())),
                  {QStringLiteral("NO"), QStringLiteral("YES")},
                  appIcon(app).pixmap(QSize(64, 64), devicePixelRatioF()));
    const auto buttons = box->buttons();
    connect(box, &QMessageBox::buttonClicked, this, [this, buttons](QAbstractButton* b) {
        const int code = b == buttons.value(1) ? RemovalFlow::kAlertYes : RemovalFlow::kAlertNo;
        // Handed to the main thread after the sheet has closed, not run inside its click.
        QTimer::singleShot(0, this, [this, code] { confirmationEnded(code); });
    });
}

void MainWindow::confirmationEnded(int returnCode) {
    if (returnCode != RemovalFlow::kAlertYes || removing_ || !catalogue_.selected)
        return;
    removing_ = true;
    form_->completeUninstallButton->setEnabled(false);
    form_->backToStep1Button->setEnabled(false);
    form_->removingLabel->setText(tr("Removing %1…").arg(qs(catalogue_.selected->name.get())));
    flow_->selected = catalogue_.selected;
    // What the user left checked on the leftovers list goes with the application.
    flow_->leftoverFindings.clear();
    for (const LeftoverFinding& f : leftovers_) {
        if (f.checked && !f.finding.path.empty())
            flow_->leftoverFindings.push_back(f.finding);
    }
    // The flow waits (1 s, 1 s, the daemon's 3 s) and moves files: off this thread. The flow
    // is touched by nobody else until removalFinished().
    workers_.async([this] {
        flow_->confirmationEnded(RemovalFlow::kAlertYes);
        mainQueue_.async([this] { removalFinished(); });
    });
}

void MainWindow::removalFinished() {
    removing_ = false;
    form_->completeUninstallButton->setEnabled(true);
    form_->backToStep1Button->setEnabled(true);
    form_->removingLabel->clear();
    const QPixmap warn = imagePixmap(QStringLiteral("Warn"), 64, devicePixelRatioF());
    if (!flow_->lastRemovalStarted) {
        const auto& app = *flow_->selected;
        showAlert(tr("%1 was not removed.").arg(qs(app.name.get())),
                  tr("It is at %1, which is not a place applications are removed from "
                     "(an Applications folder, a Desktop or a PreferencePanes folder).")
                      .arg(qs(app.installPath.get())),
                  {QStringLiteral("OK")}, warn);
    } else if (!flow_->lastRemovalCompleted) {
        // Never shown as a success: the bundle is still there. The page stays on Step 2.
        showAlert(qs(flow_->resultName), qs(flow_->resultCounts), {QStringLiteral("OK")}, warn);
    } else {
        form_->resultName->setText(qs(flow_->resultName));
        form_->resultCounts->setText(qs(flow_->resultCounts));
        form_->resultNote->setText(qs(flow_->resultNote));
        tipUntrustedApps_ = false;
        rebuildCatalogue();
        selectPage(QStringLiteral("Step_US"));
    }
    emit removalEnded();
}

void MainWindow::backFromResult() {
    tipUntrustedApps_ = true;
    showAppleToggled();
    selectPage(QStringLiteral("Step_1"));
}

// ---- Other windows ----

void MainWindow::openAbout() {
    about_->move(geometry().center() - about_->rect().center());
    about_->open();
}

void MainWindow::openReviews() {
    reviews_->move(geometry().center() - reviews_->rect().center());
    reviews_->open();
}

void MainWindow::openUpdateSite() {
    QDesktopServices::openUrl(QUrl(qs(platform::http::serverBaseUrl())));
}

void MainWindow::showDifficultyTip() {
    difficultyTip_->open();
}

void MainWindow::askSelfRemoval() {
    selfRemoval_->open();
}

void MainWindow::removeSelf() {
    workers_.async([this] {
        daemon_client::sendRemovalRequest();
        platform::sleepSeconds(1.0);
        mainQueue_.async([this] { emit terminateRequested(); });
    });
}

}  // namespace vendrel::ui
