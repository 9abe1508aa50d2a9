// The extended delete engine. See lib_funs_AppExtendDelete.h for the contracts.
//
// Guards on top of the documented behaviour (names and identifiers come from another
// program's Info.plist and are untrusted):
// - a display name that guard::isUsableName refuses (empty, blank, holding "/", "." or "..")
//   skips every step that builds a path from the name: the "/Users/Shared", Application
//   Support and Preferences folders and the name's program paths in the launchd scans;
// - an identifier that guard::isUsableIdentifier refuses ("com", "com.", "../../System",
//   "N/A", ...) skips every identifier-based step, as an empty one does;
// - an unusable home folder skips the home-relative steps instead of turning
//   "<home>/Library/..." into "/Library/...";
// - force removal never follows a link (guard::forceRemovalRefusal, and a link at the path
//   is unlinked without chmod); a regular file with other hard links loses only this name;
// - every refusal and every skipped step is reported to the removal journal.
#include "common/lib_funs_AppExtendDelete.h"

#include <array>
#include <filesystem>
#include <mutex>
#include <string_view>

#include "common/guard.h"
#include "common/journal.h"
#include "common/lib_funs.h"
#include "common/sweep_support.h"
#include "platform/child.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/killall.h"
#include "platform/paths.h"
#include "platform/strings.h"
#include "platform/syslog.h"

namespace vendrel {
namespace {

using Routines = lib_funs_AppExtendDelete_Routines;

// ---- Home directory setting ----

std::mutex g_homeMutex;
std::optional<std::string> g_home;

// ---- Children, log lines ----

void runBash(const std::string& line) {
    platform::runAndWait({"/bin/bash", "-c", line});
}

void logLine(const std::string& text) {
    journalRecord(JournalAction::Logged, text);
    if (!journalDryRun())
        platform::logNotice(text);
}

void refuseForceRemoval(const std::string& path, const std::string& why) {
    journalRecord(JournalAction::ForceRemovalRefused, path, why);
    if (!journalDryRun())
        platform::logNotice("Force removal refused: " + path + " (" + why + ")");
}

// The first folder on the way to `path` (the path itself included) that is a symbolic link.
std::optional<std::string> linkOnTheWay(const std::string& path) {
    std::string prefix;
    for (const auto& part : platform::pathComponents(path)) {
        prefix = prefix.empty() ? part : platform::appendPathComponent(prefix, part);
        if (platform::fs::isSymbolicLink(prefix))
            return prefix;
    }
    return std::nullopt;
}

// A regular file reachable under more than one name. Changing its mode would change it under
// every name, including names outside the folder being removed.
bool hasOtherHardLinks(const std::string& logicalPath) {
    std::error_code ec;
    const auto count = std::filesystem::hard_link_count(platform::toHost(logicalPath), ec);
    return !ec && count > 1;
}

// ---- Shell patterns ----

bool hasWildcard(std::string_view s) {
    return s.find_first_of("*?") != std::string_view::npos;
}

// The shell's "*" and "?" on one file name; like the shell, neither matches a leading ".".
bool globMatch(std::string_view pattern, std::string_view name) {
    if (!name.empty() && name.front() == '.' && !pattern.empty() && pattern.front() != '.')
        return false;
    size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// The paths a pattern names: the entries of its folder that its last component matches.
// Nullopt (journalled) when the wildcard is not confined to the last component.
std::optional<std::vector<std::string>> patternMatches(const std::string& logicalPattern) {
    const std::string folder = platform::deletingLastPathComponent(logicalPattern);
    const std::string pattern = platform::lastPathComponent(logicalPattern);
    if (folder.empty() || folder.front() != '/' || hasWildcard(folder)) {
        journalRecord(JournalAction::Skipped, logicalPattern,
                      "a wildcard may only stand in the last path component");
        return std::nullopt;
    }
    std::vector<std::string> matches;
    for (const auto& name : platform::fs::contentsOfDirectory(folder)) {
        if (globMatch(pattern, name))
            matches.push_back(platform::appendPathComponent(folder, name));
    }
    return matches;
}

// Force removal of exactly one path. Never a pattern: a bundle may be named "*.app", and
// expanding its install path would take every application beside it.
void forceRemoveOne(const std::string& logicalPath) {
    if (auto why = guard::forceRemovalRefusal(logicalPath))
        return refuseForceRemoval(logicalPath, *why);
    const auto attributes = platform::fs::attributesOfItem(logicalPath);
    if (!attributes)
        return;  // nothing there: nothing to report
    if (attributes->type == platform::fs::FileType::SymbolicLink) {
        // chmod would act on the link's target; the link alone goes.
        journalRecord(JournalAction::ForceRemoved, logicalPath, "symbolic link removed as a link");
        if (!journalDryRun())
            platform::fs::removeItem(logicalPath);
        return;
    }
    const std::string quoted = shellPath(logicalPath);
    std::string line = "rm -rf " + quoted;
    if (!(attributes->type == platform::fs::FileType::Regular && hasOtherHardLinks(logicalPath)))
        line = "chmod 777 " + quoted + ";" + line;
    journalRecord(JournalAction::ForceRemoved, logicalPath, line);
    if (!journalDryRun())
        runBash(line);
}

// ---- Dispatch table ----

struct Routine {
    const char* name = nullptr;
    void (*run)(const std::string& installPath, bool ring3) = nullptr;
};

enum Match { Exact, Contains };

struct DispatchEntry {
    const char* key;
    Match match;
    std::array<Routine, 2> routines;
};

// R0: a routine without argument; R1: one that takes the mode flag; AVIRA takes the install
// path; SELF marks the product's own bundle (self-removal, no sweep).
#define R0(product)                                                              \
    Routine {                                                                    \
        "fun_AllClean_" #product,                                                \
            [](const std::string&, bool) { Routines::fun_AllClean_##product(); } \
    }
#define R1(product)                                                                         \
    Routine {                                                                               \
        "fun_AllClean_" #product ":",                                                       \
            [](const std::string&, bool ring3) { Routines::fun_AllClean_##product(ring3); } \
    }
#define AVIRA                                                             \
    Routine {                                                             \
        "fun_AllClean_Avira:", [](const std::string& installPath, bool) { \
            Routines::fun_AllClean_Avira(installPath);                    \
        }                                                                 \
    }
#define SELF                       \
    Routine {                      \
        "fun_UninstallMe", nullptr \
    }

// Matched in this order against the install path's last component; the first match wins.
// Overlapping keys depend on the order: entry 17 (exact "Movavi Screen Capture Studio 3.app")
// comes before entry 128 (contains "Movavi Screen Capture Studio"), and entry 106 (contains
// "TechTool Pro") already takes "TechTool Protection.prefPane".
const DispatchEntry kDispatch[] = {
    {"Vendrel.app", Exact, {SELF}},                                                  // 1
    {"TeamViewer.app", Exact, {R0(TeamViewer)}},                                     // 2
    {"Android File Transfer.app", Exact, {R0(AndroidFileTransfer)}},                 // 3
    {"Avira.app", Exact, {AVIRA}},                                                   // 4
    {"OsiriX MD.app", Exact, {R0(OsiriX)}},                                          // 5
    {"OsiriX Lite.app", Exact, {R0(OsiriX)}},                                        // 6
    {"OsiriX.app", Exact, {R0(OsiriX)}},                                             // 7
    {"GlimmerBlocker.prefPane", Exact, {R0(GlimmerBlocker)}},                        // 8
    {"XtraFinder.app", Exact, {R0(XtraFinder)}},                                     // 9
    {"IDrive.app", Exact, {R0(IDrive)}},                                             // 10
    {"MacKeeper.app", Exact, {R1(MacKeeper)}},                                       // 11
    {"BlueStacks.app", Exact, {R0(BlueStacks)}},                                     // 12
    {"Hotspot Shield.app", Exact, {R0(HotspotShield)}},                              // 13
    {"Tuxera NTFS.prefPane", Exact, {R0(TuxeraNTFS)}},                               // 14
    {"Tuxera Disk Manager.app", Exact, {R0(TuxeraNTFS)}},                            // 15
    {"GoPro Studio.app", Exact, {R1(GoProStudio)}},                                  // 16
    {"Movavi Screen Capture Studio 3.app", Exact, {R0(MovaviScreenCaptureStudio)}},  // 17
    {"ParagonNTFS.prefPane", Exact, {R1(ParagonNTFS)}},                              // 18
    {"ManyCam.app", Exact, {R0(ManyCam)}},                                           // 19
    {"VMware Fusion.app", Exact, {R0(VmwareFusion)}},                                // 20
    {"Xcode.app", Exact, {R0(Xcode)}},                                               // 21
    {"CleanMyMac", Contains, {R0(CleanMyMac)}},                                      // 22
    {"Malwarebytes Anti-Malware.app", Exact, {R1(Malwarebytes)}},                    // 23
    {"MacFUSE.prefPane", Exact, {R1(NTFS3GMacFUSE), R1(OSXFUSE)}},                   // 24
    {"NTFS-3G.prefPane", Exact, {R1(NTFS3GMacFUSE), R1(OSXFUSE)}},                   // 25
    {"Synology Cloud Station.app", Exact, {R1(SynologyCloudStation)}},               // 26
    {"BitTorrent.app", Exact, {R0(BitTorrent)}},                                     // 27
    {"AVG AntiVirus.app", Exact, {R1(AVGAntiVirus)}},                                // 28
    {"MegaBackup.app", Exact, {R0(MegaBackup)}},                                     // 29
    {"Garmin BaseCamp.app", Exact, {R0(GarminBaseCamp)}},                            // 30
    {"Garmin MapInstall.app", Exact, {R0(GarminBaseCamp)}},                          // 31
    {"Garmin MapManager.app", Exact, {R0(GarminBaseCamp)}},                          // 32
    {"AirParrot", Contains, {R0(AirParrot)}},                                        // 33
    {"Box Sync.app", Exact, {R0(BoxSync)}},                                          // 34
    {"Disk Drill.app", Exact, {R1(DiskDrill)}},                                      // 35
    {"OSXFUSE.prefPane", Exact, {R1(OSXFUSE)}},                                      // 36
    {"PDFelement.app", Exact, {R0(PDFelement)}},                                     // 37
    {"Youtube Downloader.app", Exact, {R0(YoutubeDownloader)}},                      // 38
    {"WhatsApp.app", Exact, {R1(WhatsApp)}},                                         // 39
    {"XQuartz.app", Exact, {R1(XQuartz)}},                                           // 40
    {"Weather Live.app", Exact, {R1(WeatherLive)}},                                  // 41
    {"ESET Cyber Security Pro.app", Exact, {R1(ESETCyberSecurityPro)}},              // 42
    {"Paragon NTFS for Mac OS X", Contains, {R1(ParagonNTFS)}},                      // 43
    {"Google Chrome.app", Exact, {R0(GoogleChrome)}},                                // 44
    {"Evernote.app", Exact, {R0(Evernote)}},                                         // 45
    {"Growl.app", Exact, {R0(Growl)}},                                               // 46
    {"Opera.app", Exact, {R0(Opera)}},                                               // 47
    {"COMODO Antivirus.app", Exact, {R0(COMODOAntivirus)}},                          // 48
    {"GoToMeeting.app", Exact, {R1(GoToMeeting)}},                                   // 49
    {"Citrix Receiver.app", Exact, {R0(CitrixReceiver)}},                            // 50
    {"Andy.app", Exact, {R0(Andy)}},                                                 // 51
    {"VirtualBox.app", Exact, {R0(VirtualBox)}},                                     // 52
    {"AVG LinkScanner.app", Exact, {R1(AVGLinkScanner)}},                            // 53
    {"LinkScannerSettings.prefPane", Exact, {R1(AVGLinkScanner)}},                   // 54
    {"Razer Synapse.app", Exact, {R0(RazerSynapse)}},                                // 55
    {"Kaspersky Anti-Virus For Mac.app", Exact, {R1(KasperskyAntiVirus)}},           // 56
    {"Skype.app", Exact, {R1(Skype)}},                                               // 57
    {"MacBooster", Contains, {R1(MacBooster)}},                                      // 58
    {"Audacity.app", Exact, {R0(Audacity)}},                                         // 59
    {"Serato DJ.app", Exact, {R0(SeratoDj)}},                                        // 60
    {"Camtasia", Contains, {R0(Camtasia)}},                                          // 61
    {"Adguard.app", Exact, {R1(Adguard)}},                                           // 62
    {"Snapz Pro X.app", Exact, {R1(SnapzProX)}},                                     // 63
    {"Sophos Home.app", Exact, {R1(SophosHome_Other), R1(SophosHome)}},              // 64
    {"VueScan.app", Exact, {R0(VueScan)}},                                           // 65
    {"GoPro.app", Exact, {R1(GoProStudio)}},                                         // 66
    {"Parallels Desktop.app", Exact, {R1(ParallelsDesktop)}},                        // 67
    {"MediaFire Desktop.app", Exact, {R0(MediaFireDesktop)}},                        // 68
    {"Wondershare Video Converter Ultimate.app",
     Exact,
     {R0(WondershareVideoConverterUltimate)}},                                            // 69
    {"Kodi.app", Exact, {R0(Kodi)}},                                                      // 70
    {"Cleaner.app", Exact, {R1(Cleaner)}},                                                // 71
    {"NoSleep.app", Exact, {R0(NoSleep)}},                                                // 72
    {"NoSleep.prefPane", Exact, {R0(NoSleep)}},                                           // 73
    {"Audirvana Plus.app", Exact, {R0(Audirvana)}},                                       // 74
    {"MacX YouTube Downloader.app", Exact, {R0(MacXYouTubeDownloader)}},                  // 75
    {"5KPlayer.app", Exact, {R0(5KPlayer)}},                                              // 76
    {"VLC.app", Exact, {R0(VLCMediaPlayer)}},                                             // 77
    {"SmoothMouse.prefPane", Exact, {R0(SmoothMouse)}},                                   // 78
    {"SketchUp.app", Exact, {R0(SketchUp)}},                                              // 79
    {"OmniDiskSweeper.app", Exact, {R0(OmniDiskSweeper)}},                                // 80
    {"iZip.app", Exact, {R0(iZip)}},                                                      // 81
    {"CrashPlan.app", Exact, {R1(CrashPlan)}},                                            // 82
    {"SwitchResX.prefPane", Exact, {R0(SwitchResX)}},                                     // 83
    {"Folx.app", Exact, {R0(Folx)}},                                                      // 84
    {"Wondershare TunesGo.app", Exact, {R0(WondershareTunesGo)}},                         // 85
    {"Carbon Copy Cloner.app", Exact, {R0(CarbonCopyCloner)}},                            // 86
    {"Get Backup", Contains, {R0(GetBackupPro)}},                                         // 87
    {"EndNote X", Contains, {R0(EndNote)}},                                               // 88
    {"PDF2Office", Contains, {R0(PDF2Office)}},                                           // 89
    {"Logic Pro X.app", Exact, {R0(LogicProX)}},                                          // 90
    {"SmartSwitch.app", Exact, {R0(SmartSwitch)}},                                        // 91
    {"Sketch.app", Exact, {R0(Sketch)}},                                                  // 92
    {"Boom 2.app", Exact, {R0(Boom2)}},                                                   // 93
    {"1Password 6.app", Exact, {R0(1Password6)}},                                         // 94
    {"Sound Forge Pro.app", Exact, {R0(SoundForgePro)}},                                  // 95
    {"CleanMyDrive", Contains, {R0(CleanMyDrive)}},                                       // 96
    {"ACDSee Mac Pro.app", Exact, {R0(ACDSeeMacPro)}},                                    // 97
    {"qbittorrent.app", Exact, {R0(qBittorrent)}},                                        // 98
    {"FontExplorer X Pro.app", Exact, {R0(FontExlorerXPro)}},                             // 99
    {"Perian.prefPane", Exact, {R0(Perian)}},                                             // 100
    {"YoWindow.app", Exact, {R0(YoWindow)}},                                              // 101
    {"Tidy Up.app", Exact, {R0(TidyUp)}},                                                 // 102
    {"Spark.app", Exact, {R1(Spark)}},                                                    // 103
    {"Yummy FTP.app", Exact, {R0(YummyFTP)}},                                             // 104
    {"Yasu for Mac.app", Exact, {R0(Yasu)}},                                              // 105
    {"TechTool Pro", Contains, {R0(TechToolPro)}},                                        // 106
    {"TechTool Protection.prefPane", Exact, {R0(TechToolPro)}},                           // 107
    {"ScanGuard.app", Exact, {R0(ScanGuard)}},                                            // 108
    {"MacX Video Converter Pro.app", Exact, {R0(MacXVideoConverterPro)}},                 // 109
    {"SpamSieve.app", Exact, {R0(SpamSieve)}},                                            // 110
    {"OmniGraffle.app", Exact, {R0(OmniGraffle)}},                                        // 111
    {"SnapNDrag.app", Exact, {R0(SnapNDrag)}},                                            // 112
    {"Fantastical", Contains, {R0(Fantastical)}},                                         // 113
    {"DiskCatalogMaker.app", Exact, {R0(DiskCatalogMaker)}},                              // 114
    {"Amazon Drive.app", Exact, {R1(AmazonDrive)}},                                       // 115
    {"Hands Off!.app", Exact, {R0(HandsOff)}},                                            // 116
    {"SoftRAID", Contains, {R0(SoftRAID)}},                                               // 117
    {"Dashlane.app", Exact, {R0(Dashlane)}},                                              // 118
    {"iTIS.app", Exact, {R1(TrendMicro)}},                                                // 119
    {"ChronoSync.app", Exact, {R0(ChronoSync)}},                                          // 120
    {"Synergy.app", Exact, {R0(Synergy)}},                                                // 121
    {"GeekTool.app", Exact, {R0(GeekTool)}},                                              // 122
    {"Logitech Unifying Software.app", Exact, {R0(LogitechUnifyingSoftware)}},            // 123
    {"ZipRar.app", Exact, {R0(ZipRar)}},                                                  // 124
    {"Uninstall Arcahol.app", Exact, {R1(Arcahol)}},                                      // 125
    {"Paltalk.app", Exact, {R0(Paltalk)}},                                                // 126
    {"TomTom HOME.app", Exact, {R1(TomTomHome)}},                                         // 127
    {"Movavi Screen Capture Studio", Contains, {R1(MovaviScreenCaptureStudio)}},          // 128
    {"Intego", Exact, {R1(Intego)}},                                                      // 129
    {"Thunderbird.app", Exact, {R0(Thunderbird)}},                                        // 130
    {"ZipCloud.app", Exact, {R0(ZipCloud)}},                                              // 131
    {"MPlayerX.app", Exact, {R0(MPlayerX)}},                                              // 132
    {"GPGPreferences.prefPane", Exact, {R1(GPGSuiteTools)}},                              // 133
    {"GPG Keychain.app", Exact, {R1(GPGSuiteTools)}},                                     // 134
    {"Garmin Express.app", Exact, {R1(GarminExpress)}},                                   // 135
    {"ClamXav.app", Exact, {R1(ClamXav)}},                                                // 136
    {"MacScan.app", Exact, {R1(MacScan)}},                                                // 137
    {"rekordbox.app", Exact, {R1(RekordBox)}},                                            // 138
    {"TeamSpeak", Contains, {R1(TeamSpeak)}},                                             // 139
    {"AptanaStudio", Contains, {R1(AptanaStudio)}},                                       // 140
    {"Little Snitch Configuration.app", Exact, {R1(LittleSnitch)}},                       // 141
    {"Cisdem AppCrypt.app", Exact, {R1(CisdemAppCrypt)}},                                 // 142
    {"Yoink.app", Exact, {R1(Yoink)}},                                                    // 143
    {"Wacom Tablet", Contains, {R1(WacomTabletUtility)}},                                 // 144
    {"WacomTablet.prefpane", Exact, {R1(WacomTabletUtility)}},                            // 145
    {"Microsoft Remote Desktop.app", Exact, {R1(MicrosoftRemoteDesktop)}},                // 146
    {"Mac Space Reviver.app", Exact, {R1(MacSpaceReviver)}},                              // 147
    {"Toast Titanium.app", Exact, {R1(ToastTitanium)}},                                   // 148
    {"NetSpot.app", Exact, {R1(NetSpot)}},                                                // 149
    {"Citrio.app", Exact, {R1(Citrio)}},                                                  // 150
    {"Just Color Picker.app", Exact, {R1(JustColorPicker)}},                              // 151
    {"CyberGhost", Contains, {R1(CyberGhost)}},                                           // 152
    {"Table Tennis Pro", Contains, {R1(TableTennisProLite)}},                             // 153
    {"iBoostUp.app", Exact, {R1(iBoostUp)}},                                              // 154
    {"MEGAsync.app", Exact, {R1(MEGAsync)}},                                              // 155
    {"Pref360Control.prefPane", Exact, {R1(Pref360Control)}},                             // 156
    {"VPN Unlimited.app", Exact, {R1(VPNUnlimited)}},                                     // 157
    {"Adware Removal Pro.app", Exact, {R1(AdwareRemovalPro)}},                            // 158
    {"WineBottler.app", Exact, {R1(WineBottler)}},                                        // 159
    {"Wine.app", Exact, {R1(Wine)}},                                                      // 160
    {"F-Secure XFENCE Configuration.app", Exact, {R1(FSecureXC)}},                        // 161
    {"EPSON Scan.app", Exact, {R1(EPSONScan)}},                                           // 162
    {"ScreenFlow.app", Exact, {R1(ScreenFlow)}},                                          // 163
    {"Movist.app", Exact, {R1(Movist)}},                                                  // 164
    {"Pastebot.app", Exact, {R1(Pastebot)}},                                              // 165
    {"SoundSource.app", Exact, {R1(SoundSource)}},                                        // 166
    {"TinkerTool System.app", Exact, {R1(TinkerToolSystem)}},                             // 167
    {"SyncMate.app", Exact, {R1(SyncMate)}},                                              // 168
    {"Malware Crusher.app", Exact, {R1(MalwareCrusher)}},                                 // 169
    {"hide.me VPN.app", Exact, {R1(HideMeVPN)}},                                          // 170
    {"Sonos.app", Exact, {R1(Sonos)}},                                                    // 171
    {"Configure K9 Web Protection.app", Exact, {R1(K9WebProtection)}},                    // 172
    {"K9PrefPane.prefPane", Exact, {R1(K9WebProtection)}},                                // 173
    {"MAMP.app", Exact, {R1(Mamp)}},                                                      // 174
    {"MAMP PRO.app", Exact, {R1(Mamp)}},                                                  // 175
    {"HQPlayerDesktop.app", Exact, {R1(HQPlayerDesktop)}},                                // 176
    {"handyPrint.prefPane", Exact, {R1(handyPrint)}},                                     // 177
    {"handyPrint.app", Exact, {R1(handyPrint)}},                                          // 178
    {"Zappiti Media Center.app", Exact, {R1(ZappitiMediaCenter)}},                        // 179
    {"Zappiti Server.app", Exact, {R1(ZappitiMediaCenter)}},                              // 180
    {"The Unarchiver.app", Exact, {R1(TheUnarchiver)}},                                   // 181
    {"Silhouette Studio.app", Exact, {R1(SilhouetteStudio)}},                             // 182
    {"Fitbit Connect.app", Exact, {R1(FitbitConnect)}},                                   // 183
    {"CamTwist.app", Exact, {R1(CamTwist)}},                                              // 184
    {"StuffIt Expander.app", Exact, {R1(StuffItExpander)}},                               // 185
    {"Malwarebytes.app", Exact, {R1(Malwarebytes)}},                                      // 186
    {"ZeroNet.app", Exact, {R1(ZeroNet)}},                                                // 187
    {"qTox.app", Exact, {R1(qTox)}},                                                      // 188
    {"uTox.app", Exact, {R1(uTox)}},                                                      // 189
    {"EarMaster", Contains, {R1(EarMaster)}},                                             // 190
    {"Serviio-Console.app", Exact, {R1(ServiioConsole)}},                                 // 191
    {"Boom 3D.app", Exact, {R1(Boom3D)}},                                                 // 192
    {"texstudio.app", Exact, {R1(TeXstudio)}},                                            // 193
    {"WD Drive Utilities.app", Exact, {R1(WDDriveUtilities)}},                            // 194
    {"owncloud.app", Exact, {R1(OwnCloud)}},                                              // 195
    {"Grammarly.app", Exact, {R1(Grammarly)}},                                            // 196
    {"Roblox.app", Exact, {R1(Roblox)}},                                                  // 197
    {"RobloxStudio.app", Exact, {R1(RobloxStudio)}},                                      // 198
    {"Sidify Music Converter.app", Exact, {R1(SidifyMusicConverter)}},                    // 199
    {"Anki.app", Exact, {R1(Anki)}},                                                      // 200
    {"OBS.app", Exact, {R1(OBS)}},                                                        // 201
    {"SyphonInject.app", Exact, {R1(OBS)}},                                               // 202
    {"Keka.app", Exact, {R1(Keka)}},                                                      // 203
    {"Xmarks for Safari.app", Exact, {R1(Xmarks)}},                                       // 204
    {"Xmarks.prefPane", Exact, {R1(Xmarks)}},                                             // 205
    {"Remo Recover.app", Exact, {R1(RemoRecover)}},                                       // 206
    {"EyeConnect.prefPane", Exact, {R1(EyeConnect)}},                                     // 207
    {"Tunnelblick.app", Exact, {R1(Tunnelblick)}},                                        // 208
    {"Seagate Dashboard.app", Exact, {R1(SeagateDashboard)}},                             // 209
    {"DashboardPreferences.prefPane", Exact, {R1(SeagateDashboard)}},                     // 210
    {"TuneupMyMac.app", Exact, {R1(TuneupMyMac)}},                                        // 211
    {"OpenOffice.app", Exact, {R1(OpenOffice)}},                                          // 212
    {"FxFactory.app", Exact, {R1(FxFactory)}},                                            // 213
    {"DXOPhotoLab1.app", Exact, {R1(DXOPhotoLab1)}},                                      // 214
    {"LeawoMusicRecorder.app", Exact, {R1(LeawoMusicRecorder)}},                          // 215
    {"Google Play Music Desktop Player.app", Exact, {R1(GooglePlayMusicDesktopPlayer)}},  // 216
    {"CrossOver.app", Exact, {R1(CrossOver)}},                                            // 217
    {"Free Download Manager.app", Exact, {R1(FreeDownloadManager)}},                      // 218
    {"Transmission.app", Exact, {R1(Transmission)}},                                      // 219
    {"VyprVPN.app", Exact, {R1(VyprVPN)}},                                                // 220
};

#undef R0
#undef R1
#undef AVIRA
#undef SELF

static_assert(std::size(kDispatch) == 220);

const DispatchEntry* findEntry(const std::string& name) {
    for (const auto& entry : kDispatch) {
        const bool hit = entry.match == Exact ? platform::equals65(name, entry.key)
                                              : platform::containsCaseInsensitive(name, entry.key);
        if (hit)
            return &entry;
    }
    return nullptr;
}

std::string describe(const DispatchEntry& entry) {
    const auto number = static_cast<size_t>(&entry - kDispatch) + 1;
    return "entry " + std::to_string(number) + " \"" + entry.key + "\"" +
           (entry.match == Contains ? " (contains)" : "");
}

// ---- The sweep ----

// Trimming of the publisher: spaces and tabs at both ends.
std::string trimSpacesAndTabs(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return std::string(s.substr(first, last - first + 1));
}

void trash(const std::string& path) {
    lib_funs::fun_File_DirRemoveToTrash(path);
}

// Home-relative folder, or nullopt (and a journal line) when the home folder is unusable.
std::optional<std::string> homeFolder(const char* literal) {
    auto path = sweep::homeJoin(literal);
    if (!path)
        journalRecord(JournalAction::Skipped, std::string("~") + literal,
                      "the home folder \"" + platform::homeDirectory() + "\" is not usable");
    return path;
}

// The launchd jobs of the system folder and the home folder, each read once, matched against
// the program paths in order, system folder first for each path.
void trashLaunchJobs(const char* literal, const std::vector<std::string>& programPaths) {
    sweep::LaunchJobFolder systemJobs(literal);
    std::optional<sweep::LaunchJobFolder> homeJobs;
    if (auto path = sweep::homeJoin(literal))
        homeJobs.emplace(*path);
    for (const auto& programPath : programPaths) {
        if (!sweep::isSpecificProgramPath(programPath))
            continue;
        systemJobs.trashMatching(programPath);
        if (homeJobs)
            homeJobs->trashMatching(programPath);
    }
}

void sweepLeftovers(const std::string& installPath, const std::string& appName,
                    const std::string& publisher, bool ring3) {
    // 1. Root mode: the bundle itself, then root's Trash (which holds what the routine moved).
    if (!ring3) {
        lib_funs_AppExtendDelete::forceRemove(installPath);
        lib_funs_AppExtendDelete::fun_AllClean_RootTrash();
    }

    // 2. The identifier, and whether the name and the identifier may build paths.
    const std::string id = trimSpacesAndTabs(publisher);
    const bool nameOk = guard::isUsableName(appName);
    const bool idOk = !id.empty() && guard::isUsableIdentifier(id);
    if (!nameOk)
        journalRecord(JournalAction::Skipped, appName,
                      "display name not usable: the name-based folders are left alone");
    if (!id.empty() && !idOk)
        journalRecord(JournalAction::Skipped, id,
                      "identifier not usable: the identifier-based steps are left alone");

    const std::string systemSupport = "/Library/Application Support";
    const auto homeSupport = homeFolder("/Library/Application Support");
    const auto homePreferences = homeFolder("/Library/Preferences");
    const auto join = platform::appendPathComponent;

    // 3-6. Folders named after the application and its identifier.
    if (nameOk)
        trash(join("/Users/Shared", appName));
    if (homeSupport) {
        if (nameOk)
            trash(join(*homeSupport, appName));
        if (idOk)
            trash(join(*homeSupport, id));
    }
    if (nameOk)
        trash(join(systemSupport, appName));
    if (idOk)
        trash(join(systemSupport, id));
    if (nameOk) {
        if (homePreferences)
            trash(join(*homePreferences, appName));
        trash(join("/Library/Preferences", appName));
    }

    // 7-8. Launch agents, then launch daemons, that run a program from these places.
    std::vector<std::string> programPaths{installPath};
    if (nameOk) {
        if (homeSupport)
            programPaths.push_back(join(*homeSupport, appName));
        programPaths.push_back(join(systemSupport, appName));
    }
    if (idOk) {
        programPaths.push_back(join(systemSupport, id));
        if (homeSupport)
            programPaths.push_back(join(*homeSupport, id));
    }
    trashLaunchJobs("/Library/LaunchAgents", programPaths);
    trashLaunchJobs("/Library/LaunchDaemons", programPaths);

    // 9. Scans by identifier; Apple's own identifiers keep their preferences, recent
    // documents and temporary folders.
    if (!idOk || !platform::containsCaseInsensitive(id, "com."))
        return;
    lib_funs::fun_File_GetAllPlist_Receipts(id, true);
    lib_funs::fun_File_GetAllFile_LibraryCaches(id, true);
    lib_funs::fun_File_GetallFile_libraryCookies(id, true);
    lib_funs::fun_File_GetAllFile_LibraryApplictionState(id, true);
    lib_funs::fun_File_GetAllFile_LibraryContainers(id, true);
    lib_funs::fun_File_GetAllFile_LibraryGroupContainers(id, true);
    if (platform::containsCaseInsensitive(id, "com.apple"))
        return;
    lib_funs::fun_File_GetAllPlist_LibraryPreferences(nullptr, id, true);
    lib_funs::fun_File_GetAllFile_LibrarySFL(id, true);
    lib_funs::fun_File_GetAllFile_PrivateVarFoldersVd(id, true);
}

// /bin/rm -f on one of the product's own files, after its move to the Trash.
void removeOwnFile(const std::string& path) {
    if (!platform::fs::attributesOfItem(path))
        return;
    if (auto why = guard::forceRemovalRefusal(path))
        return refuseForceRemoval(path, *why);
    journalRecord(JournalAction::ForceRemoved, path, "/bin/rm -f");
    if (!journalDryRun())
        platform::runAndWait({"/bin/rm", "-f", platform::toHost(path)});
}

}  // namespace

// ---- Quoting ----

std::string shellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    out += '\'';
    return out;
}

std::string shellPath(const std::string& logicalPath) {
    return shellQuote(platform::toHost(logicalPath));
}

// ---- Home directory setting ----

void lib_funs_AppExtendDelete::fun_Set_HomeDirectory(const std::optional<std::string>& home) {
    std::lock_guard lock(g_homeMutex);
    g_home = home;
}

std::optional<std::string> lib_funs_AppExtendDelete::fun_Get_HomeDirectory() {
    std::lock_guard lock(g_homeMutex);
    return g_home;
}

// ---- Building blocks ----

void lib_funs_AppExtendDelete::forceRemove(const std::string& logicalPath) {
    forceRemoveOne(logicalPath);
}

void lib_funs_AppExtendDelete::forceRemovePattern(const std::string& logicalPattern) {
    if (auto matches = patternMatches(logicalPattern)) {
        for (const auto& match : *matches)
            forceRemoveOne(match);
    }
}

void lib_funs_AppExtendDelete::runShellLine(const std::string& line) {
    journalRecord(JournalAction::ShellLineRun, line);
    if (!journalDryRun())
        runBash(line);
}

void lib_funs_AppExtendDelete::removePattern(const std::string& flags,
                                             const std::string& logicalPattern) {
    if (flags != "-f" && flags != "-rf") {
        journalRecord(JournalAction::Skipped, logicalPattern, "only \"-f\" or \"-rf\"");
        return;
    }
    const auto matches = patternMatches(logicalPattern);
    if (!matches)
        return;
    std::vector<std::string> argv{"/bin/rm", flags, "--"};
    std::string removed;
    for (const auto& path : *matches) {
        if (auto why = guard::forceRemovalRefusal(path)) {
            refuseForceRemoval(path, *why);
            continue;
        }
        argv.push_back(platform::toHost(path));
        removed += (removed.empty() ? "" : "\n") + path;
    }
    if (removed.empty())
        return;  // no match removes nothing and reports nothing
    journalRecord(JournalAction::PatternRemoved, logicalPattern, removed);
    if (!journalDryRun())
        platform::runAndWait(argv);
}

std::vector<std::string> lib_funs_AppExtendDelete::dispatchFor(const std::string& bundleFileName) {
    std::vector<std::string> names;
    if (const auto* entry = findEntry(bundleFileName)) {
        for (const auto& routine : entry->routines)
            if (routine.name)
                names.emplace_back(routine.name);
    }
    return names;
}

// ---- Root's Trash ----

void lib_funs_AppExtendDelete::fun_AllClean_RootTrash() {
    const std::string rootTrash = "/private/var/root/.Trash";
    // The Trash folder itself is protected from ordinary removals, so the guard cannot vouch
    // for it; the link check is made here: rm -rf must not be led out of root's home.
    const auto parent = platform::deletingLastPathComponent(rootTrash);
    if (auto link = linkOnTheWay(parent))
        return refuseForceRemoval(rootTrash, "passes through the symbolic link " + *link);
    const std::string line = "rm -rf " + shellPath(rootTrash);
    journalRecord(JournalAction::ForceRemoved, rootTrash, line);
    if (!journalDryRun())
        runBash(line);
}

// ---- Self-removal ----

void lib_funs_AppExtendDelete::fun_UninstallMe() {
    const bool dryRun = journalDryRun();
    lib_funs::fun_Process_KillByName(std::string("Vendrel"));
    if (!dryRun)
        platform::sleepSeconds(3.0);
    trash("/Library/Application Support/Vendrel");
    trash("/Applications/Vendrel.app");
    logLine("NSXPC Listener: MSG KillSelf...");

    const std::string helper = "/Library/PrivilegedHelperTools/com.Vendrel.Ostrand.DaemonServer";
    trash(helper);
    removeOwnFile(helper);
    logLine("NSXPC Listener: MSG KillSelf Delete Server...");

    const std::string job = "/Library/LaunchDaemons/com.Vendrel.Ostrand.DaemonServer.plist";
    trash(job);
    removeOwnFile(job);
    logLine("NSXPC Listener: MSG KillSelf Delete plist...");

    // The user's own support folder, reached through the home directory setting. Without a
    // usable setting the path would be "/Library/Application Support/Vendrel" (or relative).
    const auto home = fun_Get_HomeDirectory();
    if (home && sweep::isUsableHome(*home)) {
        forceRemove(platform::appendPathComponent(*home, "/Library/Application Support/Vendrel"));
    } else {
        journalRecord(JournalAction::Skipped, "<home>/Library/Application Support/Vendrel",
                      "the home directory setting is not set to a usable folder");
    }

    // killall limited to this volume's processes: a shell killall would end the daemons of
    // every volume on the machine. The daemon ends at once, so this request gets no reply.
    journalRecord(JournalAction::ShellLineRun, "killall com.Vendrel.Ostrand.DaemonServer");
    if (!dryRun)
        platform::killAllNamed("com.Vendrel.Ostrand.DaemonServer");
    logLine("NSXPC Listener: MSG KillSelf Unload Server...");
}

// ---- The engine ----

void lib_funs_AppExtendDelete::fun_AppExtendDelete(const std::string& installPath,
                                                   const std::string& Str_AppName,
                                                   const std::string& Str_Publisher,
                                                   const std::optional<std::string>& Str_RemovalCml,
                                                   bool bool_IsRuningRing3) {
    if (platform::pathComponents(installPath).size() < 3)
        return;

    if (const auto* entry = findEntry(platform::lastPathComponent(installPath))) {
        if (entry == &kDispatch[0]) {
            journalRecord(JournalAction::RoutineSelected, "fun_UninstallMe", describe(*entry));
            fun_UninstallMe();
            return;
        }
        for (const auto& routine : entry->routines) {
            if (!routine.name)
                continue;
            journalRecord(JournalAction::RoutineSelected, routine.name, describe(*entry));
            routine.run(installPath, bool_IsRuningRing3);
        }
    }

    sweepLeftovers(installPath, Str_AppName, Str_Publisher, bool_IsRuningRing3);

    // The command list is opaque shell text, run as it came, in root mode only.
    if (!bool_IsRuningRing3 && Str_RemovalCml) {
        journalRecord(JournalAction::CommandListRun, *Str_RemovalCml);
        if (!journalDryRun())
            runBash(*Str_RemovalCml);
    }
}

}  // namespace vendrel
