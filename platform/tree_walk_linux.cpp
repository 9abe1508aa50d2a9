#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/paths.h"
#include "platform/posix_util_linux.h"
#include "platform/tree_walk.h"

namespace vendrel::platform::fs {
namespace {

// Past this depth a folder's descriptor is closed once its listing is read and its children
// are opened by path, as in fs::enumerate.
constexpr uint32_t kFdDepth = 96;

// One listed item, 12 bytes (a million files are listed at once); its name lives in the
// folder's name block. The size is split so that the item needs no 8-byte alignment.
struct Item {
    uint32_t sizeLow = 0;
    uint32_t sizeHigh = 0;
    uint32_t nameAt = 0;  // the low 29 bits; then the type (2 bits) and whether it is known

    static constexpr uint32_t kNameMask = (1u << 29) - 1;
    uint64_t size() const { return (uint64_t{sizeHigh} << 32) | sizeLow; }
    uint32_t name() const { return nameAt & kNameMask; }
    FileType type() const { return static_cast<FileType>((nameAt >> 29) & 3u); }
    bool typeKnown() const { return (nameAt >> 31) != 0; }
};
static_assert(sizeof(Item) == 12);

Item makeItem(size_t nameAt, FileType type, bool known, uint64_t size) {
    Item item;
    item.sizeLow = static_cast<uint32_t>(size);
    item.sizeHigh = static_cast<uint32_t>(size >> 32);
    item.nameAt = static_cast<uint32_t>(nameAt) | (static_cast<uint32_t>(type) << 29) |
                  (known ? 1u << 31 : 0u);
    return item;
}

// One folder's listing, in the file system's order. A folder item's listing is the next
// unused entry of `children`.
struct Node {
    NameBlock names;  // every name followed by a NUL
    std::vector<Item> items;
    std::vector<std::unique_ptr<Node>> children;
};

struct Task {
    Node* node = nullptr;
    std::shared_ptr<posix::Fd> parent;  // null: open by host path
    std::string host;                   // the folder's host path
    size_t nameAt = 0;                  // the folder's name in host
    uint32_t depth = 0;
};

class Walk {
  public:
    explicit Walk(const TreeProgress& progress) : progress_(progress) {}

    void run(Task root, unsigned threads) {
        stack_.push_back(std::move(root));
        std::vector<std::thread> helpers;
        for (unsigned i = 1; i < threads; ++i) {
            try {
                helpers.emplace_back([this] { work(); });
            } catch (const std::system_error&) {
                break;  // fewer threads: slower, not wrong
            }
        }
        work();
        for (auto& t : helpers)
            t.join();
        if (failure_)
            std::rethrow_exception(failure_);
        if (progress_)
            progress_(folders_.load(), files_.load());
    }

    TreeTotals totals() const { return {folders_.load(), files_.load(), nameBytes_.load()}; }

  private:
    void work() {
        for (;;) {
            Task task;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [&] { return !stack_.empty() || busy_ == 0 || failed_; });
                if (failed_ || stack_.empty())
                    return;  // nothing queued and nobody who could queue more
                task = std::move(stack_.back());
                stack_.pop_back();
                ++busy_;
            }
            std::vector<Task> more;
            try {
                list(task, more);
            } catch (...) {
                std::lock_guard lock(mutex_);
                if (!failed_)
                    failure_ = std::current_exception();
                failed_ = true;
            }
            {
                std::lock_guard lock(mutex_);
                // Reversed, so that the first subfolder is taken next: the walk stays close to
                // depth-first and few parent descriptors are held at a time.
                for (auto it = more.rbegin(); it != more.rend(); ++it)
                    stack_.push_back(std::move(*it));
                --busy_;
            }
            ready_.notify_all();
            reportProgress();
        }
    }

    void reportProgress() {
        if (!progress_)
            return;
        std::unique_lock lock(progressMutex_, std::try_to_lock);
        if (lock.owns_lock())  // another thread is showing counts at least as recent
            progress_(folders_.load(), files_.load());
    }

    void list(Task& task, std::vector<Task>& more) {
        const char* name = task.host.c_str() + task.nameAt;
        // The root is opened by path and may itself be reached through a link, as with
        // fs::enumerate; nothing below it is followed.
        const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (task.depth == 0 ? 0 : O_NOFOLLOW);
        posix::Fd fd(task.parent ? ::openat(task.parent->get(), name, flags)
                                 : ::open(task.host.c_str(), flags));
        task.parent.reset();
        if (!fd.valid())
            return;
        Node& node = *task.node;
        alignas(8) static thread_local char buf[64 * 1024];
        for (;;) {
            const long n = ::syscall(SYS_getdents64, fd.get(), buf, sizeof buf);
            if (n < 0) {
                // A listing that fails part-way counts as unreadable, as in fs::enumerate.
                node.names.clear();
                node.items.clear();
                return;
            }
            if (n == 0)
                break;
            for (long off = 0; off < n;) {
                const auto* e = reinterpret_cast<const posix::linux_dirent64*>(buf + off);
                off += e->d_reclen;
                const char* nm = e->d_name;
                if (nm[0] == '.' && (nm[1] == '\0' || (nm[1] == '.' && nm[2] == '\0')))
                    continue;
                const size_t nameAt = node.names.size();
                if (nameAt > Item::kNameMask)
                    continue;  // past 512 MiB of names in one folder: not listed
                node.names.insert(node.names.end(), nm, nm + std::strlen(nm) + 1);
                FileType type = FileType::Other;
                bool known = true;
                uint64_t size = 0;
                if (e->d_type == DT_DIR) {
                    type = FileType::Directory;
                } else {
                    struct statx st {};
                    if (::statx(fd.get(), nm, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                                STATX_TYPE | STATX_SIZE, &st) != 0 ||
                        !(st.stx_mask & STATX_TYPE)) {
                        known = false;
                    } else {
                        type = posix::fileTypeOfMode(st.stx_mode);
                        if (type != FileType::Directory)
                            size = st.stx_size;
                    }
                }
                node.items.push_back(makeItem(nameAt, type, known, size));
            }
        }
        uint64_t dirs = 0, files = 0, fileNameBytes = 0;
        for (const Item& item : node.items) {
            if (!item.typeKnown())
                continue;
            if (item.type() == FileType::Directory) {
                ++dirs;
            } else {
                ++files;
                fileNameBytes += std::strlen(node.names.data() + item.name()) + 1;
            }
        }
        node.names.shrink_to_fit();
        node.items.shrink_to_fit();
        folders_.fetch_add(dirs);
        files_.fetch_add(files);
        nameBytes_.fetch_add(fileNameBytes);
        if (dirs == 0)
            return;

        std::shared_ptr<posix::Fd> shared;
        if (task.depth + 1 < kFdDepth)
            shared = std::make_shared<posix::Fd>(std::move(fd));
        node.children.reserve(dirs);
        more.reserve(dirs);
        for (const Item& item : node.items) {
            if (!item.typeKnown() || item.type() != FileType::Directory)
                continue;
            node.children.push_back(std::make_unique<Node>());
            Task child;
            child.node = node.children.back().get();
            child.parent = shared;
            child.host.reserve(task.host.size() + 16);
            child.host.append(task.host).push_back('/');
            child.nameAt = child.host.size();
            child.host.append(node.names.data() + item.name());
            child.depth = task.depth + 1;
            more.push_back(std::move(child));
        }
    }

    // Shared between the workers.
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<Task> stack_;
    unsigned busy_ = 0;
    bool failed_ = false;
    std::exception_ptr failure_;

    std::atomic<uint64_t> folders_{0};
    std::atomic<uint64_t> files_{0};
    std::atomic<uint64_t> nameBytes_{0};
    std::mutex progressMutex_;
    const TreeProgress& progress_;
};

}  // namespace

void walkTree(std::string_view logical, unsigned threads, const TreeProgress& progress,
              const std::function<void(const TreeTotals&)>& ready,
              const std::function<void(TreeItem&)>& visit) {
    const std::string host = toHost(logical);
    if (host.empty())
        return;
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());

    auto root = std::make_unique<Node>();
    {
        Task task;
        task.node = root.get();
        task.host = host;
        while (task.host.size() > 1 && task.host.back() == '/')
            task.host.pop_back();
        Walk walk(progress);
        walk.run(std::move(task), threads);
        if (ready)
            ready(walk.totals());
    }

    // Visit in the one-thread walk's order: a folder's items in listing order, each folder's
    // contents right after the folder itself. Each listing is freed once visited; its name
    // block lives on if the visitor took it (a moved vector keeps its buffer, so `base` stays
    // valid).
    struct Frame {
        std::unique_ptr<Node>* owner;
        const char* base;
        size_t item = 0;
        size_t child = 0;
        uint32_t number = 0;
    };
    std::vector<Frame> frames;
    frames.push_back({&root, root->names.data(), 0, 0, 0});
    uint32_t numbered = 0;
    TreeItem out;
    while (!frames.empty()) {
        Frame& top = frames.back();
        Node& node = **top.owner;
        if (top.item == node.items.size()) {
            top.owner->reset();
            frames.pop_back();
            continue;
        }
        const Item item = node.items[top.item++];
        out.name = std::string_view(top.base + item.name());
        out.type = item.type();
        out.typeKnown = item.typeKnown();
        out.size = item.size();
        out.folder = top.number;
        out.self = 0;
        out.names = &node.names;
        const bool descend = out.typeKnown && out.type == FileType::Directory;
        if (descend)
            out.self = ++numbered;
        visit(out);
        if (descend) {
            std::unique_ptr<Node>& child = node.children[top.child++];
            const Frame next{&child, child->names.data(), 0, 0, out.self};
            frames.push_back(next);  // may move `top`; it is not used again here
        }
    }
}

}  // namespace vendrel::platform::fs
