#include "app/analysis/difficulty.h"

#include "app/analysis/inventory.h"
#include "common/guard.h"
#include "common/request_files.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/strings.h"

namespace vendrel {

const std::array<std::string_view, 199> kSpecialRemovalBundles = {
    "TeamViewer.app",
    "Android File Transfer.app",
    "Avira.app",
    "OsiriX MD.app",
    "OsiriX Lite.app",
    "OsiriX.app",
    "GlimmerBlocker.prefPane",
    "XtraFinder.app",
    "IDrive.app",
    "MacKeeper.app",
    "BlueStacks.app",
    "Hotspot Shield.app",
    "Tuxera NTFS.prefPane",
    "Tuxera Disk Manager.app",
    "GoPro Studio.app",
    "Movavi Screen Capture Studio 3.app",
    "ParagonNTFS.prefPane",
    "ManyCam.app",
    "VMware Fusion.app",
    "Xcode.app",
    "Malwarebytes Anti-Malware.app",
    "MacFUSE.prefPane",
    "NTFS-3G.prefPane",
    "Synology Cloud Station.app",
    "BitTorrent.app",
    "AVG AntiVirus.app",
    "MegaBackup.app",
    "Garmin BaseCamp.app",
    "Garmin MapInstall.app",
    "Garmin MapManager.app",
    "Box Sync.app",
    "Disk Drill.app",
    "OSXFUSE.prefPane",
    "PDFelement.app",
    "Youtube Downloader.app",
    "WhatsApp.app",
    "XQuartz.app",
    "Weather Live.app",
    "ESET Cyber Security Pro.app",
    "Google Chrome.app",
    "Evernote.app",
    "Growl.app",
    "Opera.app",
    "COMODO Antivirus.app",
    "GoToMeeting.app",
    "Citrix Receiver.app",
    "Andy.app",
    "VirtualBox.app",
    "AVG LinkScanner.app",
    "LinkScannerSettings.prefPane",
    "Razer Synapse.app",
    "Kaspersky Anti-Virus For Mac.app",
    "Skype.app",
    "Audacity.app",
    "Serato DJ.app",
    "Adguard.app",
    "Snapz Pro X.app",
    "Sophos Home.app",
    "VueScan.app",
    "GoPro.app",
    "Parallels Desktop.app",
    "MediaFire Desktop.app",
    "Wondershare Video Converter Ultimate.app",
    "Kodi.app",
    "Cleaner.app",
    "NoSleep.app",
    "Audirvana Plus.app",
    "MacX YouTube Downloader.app",
    "5KPlayer.app",
    "VLC.app",
    "SketchUp.app",
    "OmniDiskSweeper.app",
    "iZip.app",
    "CrashPlan.app",
    "SwitchResX.prefPane",
    "Folx.app",
    "Wondershare TunesGo.app",
    "Carbon Copy Cloner.app",
    "Logic Pro X.app",
    "SmartSwitch.app",
    "Sketch.app",
    "Boom 2.app",
    "1Password 6.app",
    "Sound Forge Pro.app",
    "ACDSee Mac Pro.app",
    "qbittorrent.app",
    "FontExplorer X Pro.app",
    "Perian.prefPane",
    "YoWindow.app",
    "Tidy Up.app",
    "Spark.app",
    "Yummy FTP.app",
    "Yasu for Mac.app",
    "TechTool Protection.prefPane",
    "ScanGuard.app",
    "MacX Video Converter Pro.app",
    "SpamSieve.app",
    "OmniGraffle.app",
    "SnapNDrag.app",
    "DiskCatalogMaker.app",
    "Amazon Drive.app",
    "Hands Off!.app",
    "Dashlane.app",
    "iTIS.app",
    "ChronoSync.app",
    "Synergy.app",
    "GeekTool.app",
    "Logitech Unifying Software.app",
    "ZipRar.app",
    "Uninstall Arcahol.app",
    "Paltalk.app",
    "TomTom HOME.app",
    "Intego",
    "Thunderbird.app",
    "ZipCloud.app",
    "MPlayerX.app",
    "GPGPreferences.prefPane",
    "GPG Keychain.app",
    "Garmin Express.app",
    "ClamXav.app",
    "MacScan.app",
    "rekordbox.app",
    "Little Snitch Configuration.app",
    "Cisdem AppCrypt.app",
    "Yoink.app",
    "WacomTablet.prefpane",
    "Microsoft Remote Desktop.app",
    "Mac Space Reviver.app",
    "Toast Titanium.app",
    "NetSpot.app",
    "Citrio.app",
    "Just Color Picker.app",
    "iBoostUp.app",
    "MEGAsync.app",
    "Pref360Control.prefPane",
    "VPN Unlimited.app",
    "Adware Removal Pro.app",
    "WineBottler.app",
    "Wine.app",
    "F-Secure XFENCE Configuration.app",
    "EPSON Scan.app",
    "ScreenFlow.app",
    "Movist.app",
    "Pastebot.app",
    "SoundSource.app",
    "TinkerTool System.app",
    "SyncMate.app",
    "Malware Crusher.app",
    "hide.me VPN.app",
    "Sonos.app",
    "Configure K9 Web Protection.app",
    "K9PrefPane.prefPane",
    "MAMP.app",
    "MAMP PRO.app",
    "HQPlayerDesktop.app",
    "handyPrint.prefPane",
    "handyPrint.app",
    "Zappiti Media Center.app",
    "Zappiti Server.app",
    "The Unarchiver.app",
    "Silhouette Studio.app",
    "Fitbit Connect.app",
    "CamTwist.app",
    "StuffIt Expander.app",
    "Malwarebytes.app",
    "ZeroNet.app",
    "qTox.app",
    "uTox.app",
    "Serviio-Console.app",
    "Boom 3D.app",
    "texstudio.app",
    "WD Drive Utilities.app",
    "owncloud.app",
    "Grammarly.app",
    "Roblox.app",
    "RobloxStudio.app",
    "Sidify Music Converter.app",
    "Anki.app",
    "OBS.app",
    "SyphonInject.app",
    "Keka.app",
    "Xmarks for Safari.app",
    "Xmarks.prefPane",
    "Remo Recover.app",
    "EyeConnect.prefPane",
    "Tunnelblick.app",
    "Seagate Dashboard.app",
    "DashboardPreferences.prefPane",
    "TuneupMyMac.app",
    "OpenOffice.app",
    "FxFactory.app",
    "DXOPhotoLab1.app",
    "LeawoMusicRecorder.app",
    "Google Play Music Desktop Player.app",
    "CrossOver.app",
    "Free Download Manager.app",
    "qbittorrent.app",
    "Transmission.app",
    "VyprVPN.app",
};

namespace {

using platform::appendPathComponent;

// "<folder>/<name>" exists (a link counts when its target exists).
bool hasNamed(std::string_view folder, const std::string& name) {
    if (!guard::isUsableName(name))
        return false;
    return platform::fs::fileExists(appendPathComponent(folder, name));
}

// Some entry of a shallow listing of `folder` contains the identifier, ignoring case.
bool hasEntryContaining(std::string_view folder, const std::string& identifier) {
    if (!guard::isUsableIdentifier(identifier))
        return false;
    for (const std::string& entry : platform::fs::contentsOfDirectory(folder))
        if (platform::containsCaseInsensitive(entry, identifier))
            return true;
    return false;
}

std::string inHome(std::string_view libraryRelative) {
    return appendPathComponent(platform::homeDirectory(), libraryRelative);
}

bool hasContentFolder(const std::string& installPath, std::string_view name) {
    const std::string contents = appendPathComponent(installPath, "Contents");
    return platform::fs::fileExists(appendPathComponent(contents, name)) ||
           platform::fs::fileExists(appendPathComponent(installPath, name));
}

}  // namespace

bool removalCommandListInForce(const std::string& installPath) {
    const std::string folder = requestFilesFolder();
    if (!platform::fs::fileExists(request_files::commandListPath(folder)))
        return false;
    const auto list = request_files::readCommandList(folder);
    return list && list->installPath == installPath;
}

const std::array<DifficultyRater::NamedProbe, 18>& DifficultyRater::probes() {
    static const std::array<NamedProbe, 18> table = {{
        {"/Users/Shared", &DifficultyRater::inUsersShared},
        {"/Library/Application Support", &DifficultyRater::inApplicationSupport},
        {"~/Library/Application Support", &DifficultyRater::inHomeApplicationSupport},
        {"/Library/Preferences (name)", &DifficultyRater::inPreferences},
        {"~/Library/Preferences (name)", &DifficultyRater::inHomePreferences},
        {"/private/var/db/receipts", &DifficultyRater::inReceipts},
        {"~/Library/Caches", &DifficultyRater::inCaches},
        {"~/Library/Cookies", &DifficultyRater::inCookies},
        {"~/Library/Saved Application State", &DifficultyRater::inSavedState},
        {"~/Library/Containers", &DifficultyRater::inContainers},
        {"~/Library/Group Containers", &DifficultyRater::inGroupContainers},
        {"Preferences (identifier)", &DifficultyRater::inPreferencePlists},
        {"recent documents", &DifficultyRater::inSharedFileLists},
        {"bundle Library", &DifficultyRater::bundleHasLibrary},
        {"bundle Frameworks", &DifficultyRater::bundleHasFrameworks},
        {"bundle PlugIns", &DifficultyRater::bundleHasPlugins},
        {"bundle XPCServices", &DifficultyRater::bundleHasXPCServices},
        {"bundle Helpers", &DifficultyRater::bundleHasHelpers},
    }};
    return table;
}

uint64_t DifficultyRater::rank(const std::string& installPath, const std::string& appName,
                               const std::string& bundleId) const {
    if (removalCommandListInForce(installPath))
        return kSpecialRemovalRank;
    if (needsSpecialRemoval(installPath, appName, bundleId))
        return kSpecialRemovalRank;
    uint64_t found = 0;
    for (const NamedProbe& p : probes())  // every probe runs; no early stop
        if ((this->*p.probe)(installPath, appName, bundleId))
            ++found;
    return 1 + 2 * found;
}

bool DifficultyRater::needsSpecialRemoval(const std::string& installPath, const std::string&,
                                          const std::string&) const {
    if (platform::pathComponents(installPath).size() < 3)
        return false;
    const std::string bundle = platform::lastPathComponent(installPath);
    for (std::string_view entry : kSpecialRemovalBundles)
        if (platform::equals65(bundle, entry))
            return true;
    return false;
}

bool DifficultyRater::inUsersShared(const std::string&, const std::string& name,
                                    const std::string&) const {
    return hasNamed("/Users/Shared", name);
}

bool DifficultyRater::inApplicationSupport(const std::string&, const std::string& name,
                                           const std::string& publisher) const {
    return hasNamed("/Library/Application Support", name) ||
           hasEntryContaining("/Library/Application Support", publisher);
}

bool DifficultyRater::inHomeApplicationSupport(const std::string&, const std::string& name,
                                               const std::string& publisher) const {
    const std::string folder = inHome("/Library/Application Support");
    return hasNamed(folder, name) || hasEntryContaining(folder, publisher);
}

bool DifficultyRater::inPreferences(const std::string&, const std::string& name,
                                    const std::string&) const {
    return hasNamed("/Library/Preferences", name);
}

bool DifficultyRater::inHomePreferences(const std::string&, const std::string& name,
                                        const std::string&) const {
    return hasNamed(inHome("/Library/Preferences"), name);
}

bool DifficultyRater::inReceipts(const std::string&, const std::string&,
                                 const std::string& publisher) const {
    return hasEntryContaining("/private/var/db/receipts", publisher);
}

bool DifficultyRater::inCaches(const std::string&, const std::string&,
                               const std::string& publisher) const {
    return hasEntryContaining(inHome("/Library/Caches"), publisher);
}

bool DifficultyRater::inCookies(const std::string&, const std::string&,
                                const std::string& publisher) const {
    return hasEntryContaining(inHome("/Library/Cookies"), publisher);
}

bool DifficultyRater::inSavedState(const std::string&, const std::string&,
                                   const std::string& publisher) const {
    return hasEntryContaining(inHome("/Library/Saved Application State"), publisher);
}

bool DifficultyRater::inContainers(const std::string&, const std::string&,
                                   const std::string& publisher) const {
    return hasEntryContaining(inHome("/Library/Containers"), publisher);
}

bool DifficultyRater::inGroupContainers(const std::string&, const std::string&,
                                        const std::string& publisher) const {
    return hasEntryContaining(inHome("/Library/Group Containers"), publisher);
}

bool DifficultyRater::inPreferencePlists(const std::string&, const std::string&,
                                         const std::string& publisher) const {
    return hasEntryContaining("/Library/Preferences", publisher) ||
           hasEntryContaining(inHome("/Library/Preferences"), publisher);
}

bool DifficultyRater::inSharedFileLists(const std::string&, const std::string&,
                                        const std::string& publisher) const {
    return hasEntryContaining(inHome("/Library/Application Support/com.apple.sharedfilelist/"
                                     "com.apple.LSSharedFileList.ApplicationRecentDocuments"),
                              publisher);
}

bool DifficultyRater::bundleHasLibrary(const std::string& installPath, const std::string&,
                                       const std::string&) const {
    return hasContentFolder(installPath, "Library");
}

bool DifficultyRater::bundleHasFrameworks(const std::string& installPath, const std::string&,
                                          const std::string&) const {
    return hasContentFolder(installPath, "Frameworks");
}

bool DifficultyRater::bundleHasPlugins(const std::string& installPath, const std::string&,
                                       const std::string&) const {
    return hasContentFolder(installPath, "PlugIns");
}

bool DifficultyRater::bundleHasXPCServices(const std::string& installPath, const std::string&,
                                           const std::string&) const {
    return hasContentFolder(installPath, "XPCServices");
}

bool DifficultyRater::bundleHasHelpers(const std::string& installPath, const std::string&,
                                       const std::string&) const {
    return hasContentFolder(installPath, "Helpers");
}

}  // namespace vendrel
