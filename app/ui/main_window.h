// The main window: three pages of one stack ("Step_1" the catalogue, "Step_2" the analysis
// of the chosen application, "Step_US" the result of its removal), the top box with reviews,
// About and the update notice, and the windows it opens.
//
// Threads. Everything here runs on the GUI thread except the update check, the analysis and
// the removal, which run on the window's worker queue and hand every change back through the
// main queue; the main queue is drained by the Qt event loop, so a window that waits on a
// modal dialog keeps receiving those changes. The window never blocks on a worker.
//
// Start-up (start(), after the window is shown): the OS version, the signals, the auxiliary
// windows, the hover controls, the top box's colour, the pages; then the update check on a
// worker; then, queued, the helper installation (its password dialog when no answer is
// given), the first catalogue fill and, 0.5 s later, the "Helper Tool" alert or the
// untrusted-applications tip.
#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <memory>
#include <optional>

#include "app/analysis/analysis_job.h"
#include "app/catalogue/catalogue.h"
#include "app/catalogue/malware_list.h"
#include "app/dispatch.h"
#include "app/removal/removal_flow.h"
#include "app/ui/auxiliary_windows.h"
#include "app/ui/leftover_findings.h"

namespace Ui {
class MainWindow;
}

namespace vendrel::ui {

class CatalogueModel;
class FileTableModel;

class MainWindow : public QMainWindow, private AnalysisView {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start sequence. Call once, after show().
    void start();

    // Where the leftovers shown on Step 2 come from; none shows the empty state.
    void setLeftoverSource(LeftoverSource source) { leftoverSource_ = std::move(source); }

    Ui::MainWindow& form() { return *form_; }
    QString currentPage() const;
    const Catalogue& catalogue() const { return catalogue_; }
    bool helperInstallFailed() const { return helperInstallFailed_; }
    bool isRemoving() const { return removing_; }
    bool isAnalysing() const { return job_->isRunning(); }
    AnalysisProgressDialog* progressWindow() const { return progress_; }
    UntrustedAppsDialog* untrustedAppsWindow() const { return untrustedTip_; }
    AboutDialog* aboutWindow() const { return about_; }
    ReviewsDialog* reviewsWindow() const { return reviews_; }
    DifficultyTipDialog* difficultyTipWindow() const { return difficultyTip_; }
    SelfRemovalDialog* selfRemovalWindow() const { return selfRemoval_; }
    const std::vector<LeftoverFinding>& leftovers() const { return leftovers_; }
    // The window-modal alert shown last, while it is open.
    QMessageBox* openAlert() const;

    // The alerts' texts.
    static const QString kNoSelectionMessage;
    static const QString kNoSelectionInformative;
    static const QString kHelperToolMessage;
    static const QString kHelperToolInformative;

  signals:
    // A tile was clicked and is selected (the list's selection notification).
    void appSelected();
    // The self-removal confirmation wrote its request.
    void selfRemovalRequested();
    // The start sequence ended (after its 0.5 s wait and the alert or tip, if any).
    void startUpFinished();
    // Step 2 was filled from a finished analysis.
    void analysisPresented();
    // A removal ended, whatever its outcome.
    void removalEnded();
    // The user cancelled the helper's authorization: the application cannot work.
    void terminateRequested();

  public slots:
    void runAnalysis();
    void refreshCatalogue();
    void showAppleToggled();
    void backFromAnalysis();
    void backFromResult();
    void completeUninstall();
    void showSelectedApp();
    void openAbout();
    void openReviews();
    void openUpdateSite();
    void showDifficultyTip();
    void askSelfRemoval();
    void removeSelf();

  private:
    // AnalysisView, on the main queue.
    void showStageLine(std::string_view text) override;
    void showCountsLine(std::string_view text) override;
    void resultListChanged() override;
    void present(const AnalysisResult& result) override;

    void configureControls();
    void styleWindow();
    // False when the application must quit (the authorization was cancelled).
    bool installHelper();
    void firstFill();
    void endStartUp();
    // The show-Apple toggle: rebuilds the catalogue, forgets the selection, shows the list's
    // top and, when allowed, the untrusted-applications tip.
    void rebuildCatalogue();
    void showUntrustedTipIfAny();
    void confirmationEnded(int returnCode);
    void removalFinished();
    QMessageBox* showAlert(const QString& message, const QString& informative,
                           const QStringList& buttons, const QPixmap& icon = {});
    void showHelperToolAlert();
    void selectPage(const QString& name);
    void fillLeftovers();

    std::unique_ptr<Ui::MainWindow> form_;
    CatalogueModel* catalogueModel_;
    FileTableModel* fileModel_;

    std::string osVersion_;
    MalwareList malwareList_;
    Catalogue catalogue_{&malwareList_};
    bool tipUntrustedApps_ = false;
    bool helperInstallFailed_ = false;
    bool removing_ = false;
    LeftoverSource leftoverSource_;
    std::vector<LeftoverFinding> leftovers_;

    AnalysisProgressDialog* progress_ = nullptr;
    UntrustedAppsDialog* untrustedTip_ = nullptr;
    AboutDialog* about_ = nullptr;
    ReviewsDialog* reviews_ = nullptr;
    DifficultyTipDialog* difficultyTip_ = nullptr;
    SelfRemovalDialog* selfRemoval_ = nullptr;
    QPointer<QMessageBox> alert_;

    // Declared so that they go in this order: the analysis job (waits for its run), the
    // worker queue (finishes a running removal or check), the removal flow, the main queue.
    dispatch::MainQueue mainQueue_;
    std::unique_ptr<RemovalFlow> flow_;
    dispatch::GlobalQueue workers_{2};
    std::unique_ptr<AnalysisJob> job_;
};

}  // namespace vendrel::ui
