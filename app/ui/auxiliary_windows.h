// The windows the main window creates once at start and opens on request: analysis progress,
// the untrusted-applications tip, About, reviews, the difficulty tip, the self-removal
// confirmation, and the password dialog of the helper's installation.
#pragma once

#include <QDialog>
#include <QPointer>
#include <string>
#include <string_view>
#include <vector>

#include "app/catalogue/malware_list.h"
#include "app/online/user_reviews.h"

class QLabel;
class QTableWidget;
class QLineEdit;
class QPushButton;
class QPlainTextEdit;
class QMessageBox;

namespace vendrel::ui {

class HoverLink;
class BusyLogo;

// Analysis progress: application-modal while the analysis runs. Closing it early hides it;
// the analysis goes on and still turns the main window to its result.
class AnalysisProgressDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AnalysisProgressDialog(QWidget* parent = nullptr);
    void begin(const QString& appName);
    void showStageLine(std::string_view text);
    void showCountsLine(std::string_view text);
    QString stageLine() const;
    QString countsLine() const;
    bool isAnimating() const;

  private:
    BusyLogo* logo_;
    QLabel* name_;
    QLabel* stage_;
    QLabel* counts_;
};

// The untrusted-applications tip, a sheet on the main window: one row per installed
// application that is on the maker's malware list.
class UntrustedAppsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit UntrustedAppsDialog(QWidget* parent = nullptr);
    void setApps(std::vector<MalwareList::UntrustedApp> apps);
    const std::vector<MalwareList::UntrustedApp>& apps() const { return apps_; }
    QTableWidget* table() const { return table_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void reload();
    std::vector<MalwareList::UntrustedApp> apps_;
    QTableWidget* table_;
};

// About: the version and copyright from the running bundle's Info.plist, the maker's site and
// support address as links. Application-modal; closing it ends the modal run.
class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kSupportAddress = "support@vendrel.example";
    explicit AboutDialog(QWidget* parent = nullptr);
    QLabel* versionLine() const { return version_; }
    QLabel* copyrightLine() const { return copyright_; }
    HoverLink* siteLink() const { return site_; }
    HoverLink* mailLink() const { return mail_; }
    // The addresses the links open.
    static QString siteUrl();
    static QString mailUrl();

  private:
    QLabel* version_;
    QLabel* copyright_;
    HoverLink* site_;
    HoverLink* mail_;
};

// Reviews: name, e-mail address and the review. Submit runs the submission checks; a refusal
// is a sheet on this window, an accepted review is posted off the GUI thread with the button
// disabled meanwhile, then "Submit complete". The fields stay as they are.
class ReviewsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ReviewsDialog(QWidget* parent = nullptr);
    QLineEdit* nameField() const { return name_; }
    QLineEdit* emailField() const { return email_; }
    QPlainTextEdit* reviewField() const { return review_; }
    QPushButton* submitButton() const { return submit_; }
    // The sheet shown last, while it is open.
    QMessageBox* openAlert() const;
    void submit();

  signals:
    void posted();

  private:
    void showAlert(const ReviewAlert& alert);
    QLineEdit* name_;
    QLineEdit* email_;
    QPlainTextEdit* review_;
    QPushButton* submit_;
    QPointer<QMessageBox> alert_;
    UserReviewsSubmission submission_;
};

// A sheet on the main window with a default button that shows highlighted while the sheet is
// the key window; closing ends the sheet (nothing happens before the sheet has a parent).
class TipSheet : public QDialog {
    Q_OBJECT
  public:
    using QDialog::QDialog;
    QPushButton* defaultButton() const { return default_; }
    void closeSheet();

  protected:
    void changeEvent(QEvent* event) override;
    QPushButton* default_ = nullptr;
};

class DifficultyTipDialog : public TipSheet {
    Q_OBJECT
  public:
    explicit DifficultyTipDialog(QWidget* parent = nullptr);
};

// The self-removal confirmation. "Remove Vendrel" writes the request for the installed product
// bundle "/Applications/Vendrel.app" into the running bundle, closes the sheet and emits
// removalRequested() (the main window then asks the daemon and quits).
class SelfRemovalDialog : public TipSheet {
    Q_OBJECT
  public:
    explicit SelfRemovalDialog(QWidget* parent = nullptr);
    QPushButton* removeButton() const { return remove_; }
    void confirm();

  signals:
    void removalRequested();

  private:
    QPushButton* remove_;
};

// Stands in for the system's administrator authorization when the helper must be installed.
// "Install Helper" hands the decision to the platform's authorization; "Cancel" cancels it.
class AdminPasswordDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AdminPasswordDialog(QWidget* parent = nullptr);
    QLineEdit* password() const { return password_; }

  private:
    QLineEdit* password_;
};

}  // namespace vendrel::ui
