// Applies declarative content files (see tools/demo/README.md) to a macOS volume in a folder.
#pragma once

#include <chrono>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vendrel::demo {

// A content file that cannot be applied: the message names the file and the entry.
struct ContentError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class VolumeBuilder {
  public:
    // The demo user's home folder, which "~" stands for in content files.
    static constexpr const char* kHome = "/Users/demo";

    // Paths are mapped onto the volume by the platform layer: VENDREL_ROOT must name the
    // volume's folder while the builder runs.
    VolumeBuilder() = default;

    // Applies one content file. `source` names it in error messages.
    void apply(const nlohmann::json& content, const std::string& source);
    // Sets the bundles' modification dates; call once, after the last content file (writing
    // into a bundle afterwards would move its date again).
    void finish();

  private:
    void addApp(const nlohmann::json& app);
    void addFile(const nlohmann::json& file);
    void addPlist(const nlohmann::json& entry);
    void addSymlink(const nlohmann::json& entry);
    void addAlias(const std::string& path);

    std::vector<std::pair<std::string, std::chrono::system_clock::time_point>> bundleDates_;
};

}  // namespace vendrel::demo
