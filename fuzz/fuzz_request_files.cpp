// The request files as the daemon reads them: any bytes, parsed as a property list, then
// judged by the folder-list and command-list rules. Nothing may crash, hang or leak, and an
// accepted folder list always names a path and a home.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/request_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vendrel;
    const auto root =
        platform::plist::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!root)
        return 0;
    request_files::FolderList folders;
    if (request_files::parseFolderList(*root, folders) == request_files::ReadStatus::Ok &&
        (folders.installPath.empty() || folders.userHome.empty()))
        std::abort();
    if (auto commands = request_files::parseCommandList(*root))
        if (commands->commands.empty() || commands->installPath.empty())
            std::abort();
    return 0;
}
