// The windows the main window creates once at start and opens on request. The analysis
// progress window and the untrusted-applications tip do their work here already; About,
// reviews, the difficulty tip and the self-removal confirmation are plain windows with their
// title and a close button until their own forms land.
#pragma once

#include <QDialog>
#include <string>
#include <string_view>
#include <vector>

#include "app/catalogue/malware_list.h"

class QLabel;
class QTableWidget;
class QLineEdit;

namespace vendrel::ui {

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

  private:
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

// A window that so far shows its title, one line of text and a close button.
class SimpleWindow : public QDialog {
    Q_OBJECT
  public:
    SimpleWindow(const QString& title, const QString& text, QWidget* parent = nullptr);
};

class AboutDialog : public SimpleWindow {
    Q_OBJECT
  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

class ReviewsDialog : public SimpleWindow {
    Q_OBJECT
  public:
    explicit ReviewsDialog(QWidget* parent = nullptr);
};

class DifficultyTipDialog : public SimpleWindow {
    Q_OBJECT
  public:
    explicit DifficultyTipDialog(QWidget* parent = nullptr);
};

class SelfRemovalDialog : public SimpleWindow {
    Q_OBJECT
  public:
    explicit SelfRemovalDialog(QWidget* parent = nullptr);
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
