#include "common/daemon_messages.h"

namespace vendrel::daemon_messages {
namespace {
constexpr std::string_view kDeleteFoldersFilesName = "Listener_Msg_DeleteFoldersFiles";
constexpr std::string_view kKillSelfName = "Listener_Msg_KillSelf";
}  // namespace

std::string_view payloadOf(Message message) {
    switch (message) {
        case Message::DeleteFoldersFiles:
            return kDeleteFoldersFilesName;
        case Message::KillSelf:
            return kKillSelfName;
    }
    return {};
}

std::optional<Message> parseMessage(std::string_view payload) {
    if (payload == kDeleteFoldersFilesName)
        return Message::DeleteFoldersFiles;
    if (payload == kKillSelfName)
        return Message::KillSelf;
    return std::nullopt;
}

}  // namespace vendrel::daemon_messages
