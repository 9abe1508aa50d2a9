#include "app/removal/removal_history.h"

#include <algorithm>

#include "common/command_list.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/plist.h"

namespace vendrel::removal_history {
namespace {

namespace pl = platform::plist;

std::string folder() {
    return platform::appendPathComponent(platform::homeDirectory(),
                                         "Library/Application Support/Vendrel/Removals");
}

double toSeconds(std::chrono::system_clock::time_point t) {
    return std::chrono::duration<double>(t.time_since_epoch()).count();
}
std::chrono::system_clock::time_point fromSeconds(double s) {
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::duration<double>(s)));
}
double number(const pl::Dictionary& d, const char* key) {
    const pl::Value* v = pl::valueForKey(d, key);
    if (!v)
        return 0;
    if (auto* r = std::get_if<double>(&v->v))
        return *r;
    if (auto* i = std::get_if<int64_t>(&v->v))
        return static_cast<double>(*i);
    return 0;
}

}  // namespace

std::vector<Item> trashedItems(const Journal& journal) {
    std::vector<Item> items;
    for (const JournalEntry& e : journal.entries())
        if (e.action == JournalAction::MovedToTrash && !e.dryRun && !e.detail.empty())
            items.push_back({e.subject, e.detail});
    return items;
}

bool save(const Removal& removal) {
    pl::Array items;
    for (const Item& i : removal.items)
        items.emplace_back(
            pl::Dictionary{{"OriginalPath", i.originalPath}, {"TrashedPath", i.trashedPath}});
    pl::Dictionary d{{"AppName", removal.appName},
                     {"InstallPath", removal.installPath},
                     {"Started", toSeconds(removal.started)},
                     {"Ended", toSeconds(removal.ended)},
                     {"Items", std::move(items)}};
    if (!platform::fs::createDirectories(folder()))
        return false;
    auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(removal.started.time_since_epoch())
            .count();
    return pl::writeXmlFile(platform::appendPathComponent(folder(), std::to_string(ms) + ".plist"),
                            pl::Value(std::move(d)));
}

std::vector<Removal> load() {
    std::vector<Removal> out;
    for (const std::string& name : platform::fs::contentsOfDirectory(folder())) {
        auto d = pl::readDictionary(platform::appendPathComponent(folder(), name));
        if (!d)
            continue;
        Removal r;
        if (auto* s = pl::stringForKey(*d, "AppName"))
            r.appName = *s;
        if (auto* s = pl::stringForKey(*d, "InstallPath"))
            r.installPath = *s;
        r.started = fromSeconds(number(*d, "Started"));
        r.ended = fromSeconds(number(*d, "Ended"));
        if (const pl::Value* v = pl::valueForKey(*d, "Items"))
            if (const pl::Array* a = v->array())
                for (const pl::Value& e : *a)
                    if (const pl::Dictionary* item = e.dictionary()) {
                        auto* o = pl::stringForKey(*item, "OriginalPath");
                        auto* t = pl::stringForKey(*item, "TrashedPath");
                        if (o && t)
                            r.items.push_back({*o, *t});
                    }
        out.push_back(std::move(r));
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Removal& a, const Removal& b) { return a.started < b.started; });
    return out;
}

RestoreReport restore(const Removal& removal, std::chrono::system_clock::time_point until) {
    RestoreReport report;
    const auto records = platform::trash::records();
    // Items come back in the order they left; each was moved whole.
    for (const Item& item : removal.items) {
        auto rec = std::find_if(records.begin(), records.end(),
                                [&](const auto& r) { return r.trashedPath == item.trashedPath; });
        if (rec == records.end()) {
            report.notRestored.push_back({item, "no longer in the Trash"});
            continue;
        }
        // The record may have been rewritten by anyone who can write the Trash: its original
        // place must be one a removal may touch for this user (its home, "/Applications",
        // "/Library", ..., never another user's home), checked before anything is created.
        if (auto why = command_list::pathRefusal(rec->originalPath, platform::homeDirectory())) {
            report.notRestored.push_back({item, "\"" + rec->originalPath + "\" " + *why});
            continue;
        }
        auto moved = platform::trash::putBack(*rec);
        if (moved.moved)
            report.restored.push_back(item);
        else
            report.notRestored.push_back({item, moved.error});
    }
    for (const auto& r : platform::trash::records("/private/var/root/.Trash"))
        if (r.when >= removal.started && r.when <= until)
            report.inRootTrash.push_back(r);
    return report;
}

}  // namespace vendrel::removal_history
