// Shared by the commands that act on one installed application: finding it, and running the
// analysis job of the desktop application on it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/analysis/analysis_job.h"
#include "app/catalogue/installed_app.h"

namespace vendrel::cli {

// An install path (absolute, logical) gives a record filled from the bundle's Info.plist the
// way the catalogue fills it; a name is looked up in the catalogue (Apple's applications
// included), first by display name, then by bundle folder name ("Foo" or "Foo.app"), both
// under the name rule. Nothing, or more than one match, is an error that says so.
std::optional<InstalledAppRef> resolve(const std::string& target, std::string& error);
// resolve(), with the error printed on standard error.
std::optional<InstalledAppRef> resolveOrReport(const std::string& target);

// Prints the progress lines over one another on a terminal; silent otherwise.
class CliView : public AnalysisView {
  public:
    CliView();
    void showStageLine(std::string_view text) override { status(text); }
    void showCountsLine(std::string_view text) override { status(text); }
    void resultListChanged() override {}
    void present(const AnalysisResult& result) override;
    const std::optional<AnalysisResult>& result() const { return result_; }

  private:
    void status(std::string_view text);
    bool tty_;
    std::optional<AnalysisResult> result_;
};

// Runs the desktop application's analysis job on `record` (same stages, waits and request
// files), draining `mainQueue` on this thread until the job presents its result. `files`,
// when given, receives the file table.
AnalysisResult analyse(const InstalledAppRef& record, dispatch::MainQueue& mainQueue,
                       FileTable* files = nullptr);

}  // namespace vendrel::cli
