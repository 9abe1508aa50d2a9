// The installed-app record: one per bundle the catalogue finds. Every field is read and
// written as a whole, so the analysis thread may set a measure while the user interface reads
// it. Strings start as "N/A", the marker of a value that was not available.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace vendrel {

// A value read and written as a whole from several threads.
template <typename T>
class AtomicField {
  public:
    explicit AtomicField(T initial = T()) : value_(std::move(initial)) {}
    AtomicField(const AtomicField& other) : value_(other.get()) {}
    AtomicField& operator=(const AtomicField& other) {
        if (this != &other)
            set(other.get());
        return *this;
    }
    T get() const {
        std::lock_guard lock(mutex_);
        return value_;
    }
    void set(T v) {
        std::lock_guard lock(mutex_);
        value_ = std::move(v);
    }

  private:
    mutable std::mutex mutex_;
    T value_;
};

// An image stands for the file it is loaded from (a logical path); the desktop user
// interface loads the pixels.
struct Image {
    std::string path;
};

class InstalledApp {
  public:
    AtomicField<std::optional<Image>> icon;
    AtomicField<std::optional<Image>> largeIcon;
    AtomicField<std::string> name{"N/A"};
    AtomicField<std::string> installPath{"N/A"};
    AtomicField<std::string> bundleId{"N/A"};  // the bundle identifier
    AtomicField<std::string> version{"N/A"};
    // std::nullopt when the bundle's attributes could not be read (the date is absent).
    AtomicField<std::optional<std::string>> installDate{std::string("N/A")};
    AtomicField<std::string> sizeText{"N/A"};
    AtomicField<std::string> folderCount{"N/A"};
    AtomicField<std::string> fileCount{"N/A"};
};

using InstalledAppRef = std::shared_ptr<InstalledApp>;

}  // namespace vendrel
