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

class lib_TargetInstalledAppInfo {
  public:
    AtomicField<std::optional<Image>> mpu_image_Icons;
    AtomicField<std::optional<Image>> mpu_image_LargeIcons;
    AtomicField<std::string> mpu_str_Name{"N/A"};
    AtomicField<std::string> mpu_str_InstallPath{"N/A"};
    AtomicField<std::string> mpu_str_Publisher{"N/A"};  // the bundle identifier
    AtomicField<std::string> mpu_str_Version{"N/A"};
    // std::nullopt when the bundle's attributes could not be read (the date is absent).
    AtomicField<std::optional<std::string>> mpu_str_InstalledTime{std::string("N/A")};
    AtomicField<std::string> mpu_str_Size{"N/A"};
    AtomicField<std::string> mpu_str_DirCount{"N/A"};
    AtomicField<std::string> mpu_str_FileCount{"N/A"};
};

using InstalledAppRef = std::shared_ptr<lib_TargetInstalledAppInfo>;

}  // namespace vendrel
