// The routine table against what each routine is documented to do, and the whole table
// against the removal guard.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "common/guard.h"
#include "common/routine_interpreter.h"
#include "common/routine_table.h"
#include "platform/paths.h"
#include "tests/support/volume.h"

namespace vendrel::routines {
namespace {

using namespace build;

// ---- What every routine must hold ----

struct ShellExpectation {
    std::vector<std::string_view> kills;  // killall names, in order
    int removes;                          // rm commands
    bool chflags;                         // clears immutable flags
};

struct Expectation {
    std::string_view name;
    std::vector<std::string_view> stops;  // processes::killByName, in order
    int trashes;
    std::vector<std::pair<std::string_view, std::vector<Scanner>>> scans;  // fragment, scanners
    std::vector<std::string_view> forced;  // root-only force removals, in order
    std::vector<ShellExpectation> shells;  // root-only shell lines, in order
    int patterns;                          // root-only /bin/rm on a pattern
    bool stopsByFolders;
    std::string_view log;
    // The order of the kinds of steps: S stop, T trash, F scan, R root-only; consecutive
    // steps of one kind count once. Empty for the routines whose exact steps are checked in
    // ToldRoutinesHaveExactlyTheirSteps.
    std::string_view order;
};

// In the order the routines are defined.
const std::vector<Expectation> kExpected = {
    {"TeamViewer",
     {},
     4,
     {{"com.teamviewer", {LaunchDaemons, LaunchAgents}}},
     {},
     {},
     0,
     false,
     "TeamViewer.app Extend Deleted Files",
     ""},
    {"AndroidFileTransfer", {"Android File Transfer Agent"}, 1, {}, {}, {}, 0, false, "", "ST"},
    {"Avira",
     {"AvStats"},
     6,
     {{"com.avira.antivirus", {LaunchDaemons, LaunchAgents}}},
     {},
     {},
     0,
     true,
     "",
     ""},
    {"OsiriX", {}, 2, {}, {}, {}, 0, false, "", "T"},
    {"GlimmerBlocker",
     {},
     2,
     {{"org.glimmerblocker", {LaunchDaemons, LaunchAgents}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"XtraFinder", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"IDrive",
     {"IDrive", "IDriveMonitor"},
     2,
     {{"com.prosoftnet.idrivedaemon", {LaunchDaemons, LaunchAgents}}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"MacKeeper",
     {"MacKeeper Helper", "MacKeeper", "AntiTheft", "AntiTheftAgent", "MKAuthPlugin", "AntiVirus",
      "AntiVirusAgent"},
     5,
     {{"mackeeper", kStandardScans}},
     {},
     {{{}, 6, false}},
     0,
     false,
     "",
     ""},
    {"BlueStacks",
     {"BlueStacks"},
     3,
     {{"com.BlueStacks", {LaunchDaemons, LaunchAgents, Preferences, SavedState}}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"HotspotShield", {"Hotspot Shield"}, 2, {}, {}, {}, 0, false, "", "ST"},
    {"TuxeraNTFS",
     {},
     6,
     {{"com.tuxera", {LaunchDaemons, LaunchAgents, Preferences, Receipts}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"GoProStudio",
     {},
     15,
     {{"com.gopro", {LaunchDaemons, LaunchAgents, Preferences}}, {"com.GoPro", {Receipts}}},
     {"/Applications/GoPro Studio.app", "/Applications/GoPro.app", "/Applications/GoPro"},
     {},
     0,
     false,
     "",
     ""},
    {"MovaviScreenCaptureStudio3",
     {},
     4,
     {{"com.movavi", {LaunchAgents}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"ParagonNTFS",
     {},
     6,
     {{"Paragon", {Caches, Logs}},
      {"com.paragon", {Receipts, LaunchDaemons, LaunchAgents, Preferences}}},
     {"/Library/Filesystems/ufsd_NTFS.fs"},
     {{{"com.paragon-software.NTFS.fsnotify.agent", "com.paragon-software.NTFS.fsnotify.daemon"},
       0,
       false}},
     0,
     false,
     "",
     ""},
    {"ManyCam",
     {},
     4,
     {{"com.visicom.ManyCam", {LaunchDaemons, LaunchAgents}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"VmwareFusion",
     {"vmware-vmx", "vmware-usbarbitrator", "VMware Graphics Service", "VMware Fusion Start Menu",
      "VMware Fusion Services", "VMware Fusion"},
     6,
     {{"com.vmware", {LaunchDaemons, LaunchAgents, Preferences}}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"Xcode",
     {"Xcode", "com.apple.dt.Xcode.sourcecontrol.WorkingCopyScanner",
      "com.apple.dt.Xcode.sourcecontrol.SSHHelper"},
     9,
     {},
     {},
     {},
     0,
     false,
     "",
     "ST"},
    {"CleanMyMac",
     {"CleanMyMac 3", "CleanMyMac 3 Menu"},
     7,
     {{"com.macpaw", {LaunchDaemons, LaunchAgents, Preferences}}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"Malwarebytes",
     {"Malwarebytes Anti-Malware", "Malwarebytes Anti-Malware Service"},
     8,
     {{"com.malwarebytes", {LaunchDaemons, LaunchAgents, Preferences}}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "STFR"},
    {"NTFS3GMacFUSE", {}, 30, {}, {}, {}, 3, false, "", ""},
    {"SynologyCloudStation",
     {},
     4,
     {{"com.synology.CloudStation", {Receipts, Caches}}},
     {},
     {{{"Synology Cloud Station Drive Finder Integration", "Synology Cloud Station Drive"},
       0,
       false}},
     0,
     false,
     "",
     "TFR"},
    {"AVGAntiVirus",
     {"AVG AntiVirus"},
     8,
     {{"com.avg.Antivirus", {LaunchDaemons, LaunchAgents, Preferences, Receipts, Caches}}},
     {},
     {{{"avgsched", "avgscand", "avgoad", "avggmsd", "avgd", "avgavid", "AVG AntiVirus"}, 2, false},
      {{}, 4, false}},
     0,
     false,
     "",
     "STFR"},
    {"BitTorrent", {}, 5, {}, {}, {}, 0, false, "", "T"},
    {"MegaBackup",
     {"MegaBackupAgent", "MegaBackup"},
     3,
     {{"com.megabackup.MegaBackup", {LaunchDaemons, LaunchAgents, Preferences}}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"GarminBaseCamp",
     {"BaseCamp", "MapManager", "MapInstall"},
     4,
     {{"com.Garmin.BaseCamp", {Preferences, Caches}},
      {"com.Garmin.MapInstall", {Preferences, Caches}},
      {"com.Garmin.MapManager", {Preferences}},
      {"com.Garmin.pkg", {Receipts}}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"AirParrot",
     {},
     0,
     {{"AirParrotDriver.kext", {Extensions}},
      {"APExtFramebuffer.kext", {Extensions}},
      {"com.squirrels.AirParrot", {Preferences}}},
     {},
     {},
     0,
     false,
     "",
     ""},
    {"BoxSync", {"Box Sync"}, 1, {{"com.box.sync", {Cookies}}}, {}, {}, 0, false, "", "STF"},
    {"DiskDrill",
     {"Disk Drill"},
     1,
     {{"com.cleverfiles", {Preferences, LaunchDaemons, Caches}}},
     {},
     {{{"SmartDaemon"}, 1, false}},
     0,
     false,
     "",
     "STFR"},
    {"OSXFUSE",
     {},
     8,
     {{"com.github.osxfuse", {Receipts, Caches}}},
     {"/Library/Filesystems/osxfuse.fs", "/Library/Filesystems/osxfusefs.fs"},
     {},
     3,
     false,
     "",
     "TFR"},
    {"PDFelement",
     {},
     1,
     {{"com.wondershare.PDFelement", {Preferences}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"YoutubeDownloader",
     {},
     1,
     {{"com.midrey-software.Youtube Downloader", {Preferences}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"WhatsApp",
     {"WhatsApp"},
     1,
     {{"WhatsApp", {Preferences}}},
     {},
     {{{"WhatsApp", "WhatsApp Helper"}, 0, false}},
     0,
     false,
     "",
     "STFR"},
    {"XQuartz",
     {},
     2,
     {{"org.macosforge.xquartz", {LaunchAgents, LaunchDaemons, Preferences, Receipts}}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"WeatherLive",
     {},
     2,
     {},
     {},
     {{{"WeatherLiveHelper", "Weather Live"}, 0, false}},
     0,
     false,
     "",
     "TR"},
    {"ESETCyberSecurityPro",
     {"ESET Cyber Security Pro"},
     2,
     {{"com.eset.esetCyberSecurityPro", {Receipts}},
      {"com.eset.ecsp", {LaunchDaemons, LaunchAgents, Preferences}},
      {"com.eset.estes", {LaunchDaemons, LaunchAgents, Preferences}}},
     {},
     {{{"esets_daemon", "esets_kac", "esets_ctl", "esets_mac", "ESET Cyber Security Pro",
        "esets_proxy"},
       0,
       false}},
     0,
     false,
     "",
     "STFR"},
    {"GoogleChrome", {}, 3, {}, {}, {}, 0, false, "", "T"},
    {"Evernote", {}, 0, {{"com.evernote", {Containers}}}, {}, {}, 0, false, "", "F"},
    {"Growl",
     {},
     1,
     {{"com.growl.Growl", {Containers, TemporaryFolders}}},
     {},
     {},
     0,
     false,
     "",
     ""},
    {"Opera", {}, 0, {{"com.operasoftware", {SharedFileLists, Caches}}}, {}, {}, 0, false, "", ""},
    {"COMODOAntivirus",
     {"TrayMenu", "Agent", "COMODO Antivirus", "COMODO Scanner"},
     4,
     {{"com.COMODO", {LaunchDaemons, LaunchAgents, Preferences, Caches}}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"GoToMeeting",
     {"GoToMeeting", "GoToMeeting Recording Manager"},
     1,
     {{"com.citrixonline.GoToMeeting", {LaunchDaemons, LaunchAgents, Preferences}}},
     {},
     {{{"G2MRelauncher", "G2MUpdate", "G2MUplad"}, 0, false}},
     0,
     false,
     "",
     "STFR"},
    {"CitrixReceiver",
     {"Citrix Receiver", "Citrix Receiver Helper", "Citrix Service Record Application",
      "AuthManager_Mac", "Citrix Viewer", "Citrix Receiver Launcher"},
     6,
     {{"com.citrix.receiver", {LaunchDaemons, LaunchAgents, Preferences}},
      {"com.citrix.AuthManager", {LaunchAgents}},
      {"com.citrix.ServiceRecords", {LaunchAgents}}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"Andy", {}, 0, {}, {}, {}, 0, false, "", ""},
    {"VirtualBox",
     {},
     12,
     {{"org.virtualbox",
       {LaunchDaemons, LaunchAgents, Preferences, Receipts, Caches, Cookies, SavedState,
        GroupContainers}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"AVGLinkScanner",
     {"AVG LinkScanner"},
     8,
     {{"com.avg", {LaunchDaemons, LaunchAgents, Preferences, Receipts}}},
     {},
     {{{"avgsched", "avgnotifyd", "avglnsd", "avgd", "avgconfigd"}, 2, false}},
     1,
     false,
     "",
     "STFR"},
    {"RazerSynapse",
     {},
     7,
     {{"com.razerzone", {LaunchDaemons, LaunchAgents, Preferences, Receipts}},
      {"com.razer.rzupdater", {LaunchAgents}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"KasperskyAntiVirus",
     {},
     14,
     {{"com.kaspersky.kav", {LaunchAgents, Preferences, LaunchDaemons}}},
     {},
     {{{}, 11, false}},
     0,
     false,
     "",
     ""},
    {"Skype",
     {},
     8,
     {{"com.skype.skype", {LaunchAgents, Preferences, LaunchDaemons}}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"MacBooster",
     {"MacBooster mini", "MacBooster 3.0", "MacBooster 4.0", "MacBooster 5.0"},
     9,
     {{"com.iobit.AMCDaemon", {LaunchDaemons}},
      {"com.iobit.AMCUpdate", {LaunchAgents}},
      {"com.iobit.MacBooster", {LaunchAgents, Caches, Receipts}},
      {"com.iobit.Boost", {Preferences}}},
     {},
     {{{"AMCDaemon"}, 0, false}},
     0,
     false,
     "",
     "STFR"},
    {"Audacity", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"SeratoDj",
     {},
     1,
     {{"com.serato", {LaunchDaemons, LaunchAgents, Preferences}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"Camtasia", {}, 3, {{"com.techsmith.identityprofile", {Caches}}}, {}, {}, 0, false, "", "TF"},
    {"Adguard", {"Adguard"}, 1, {}, {}, {}, 0, false, "", ""},
    {"SnapzProX",
     {},
     1,
     {{"com.ambrosiasw.SnapLoginHelper", {Containers, TemporaryFolders}},
      {"com.ambrosiasw.pkg", {Receipts}}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"SophosHome_Other",
     {},
     16,
     {{"com.sophos", {LaunchDaemons, LaunchAgents, Preferences, Caches}}},
     {},
     {{{"SophosConfigD", "SophosScanD", "SophosServiceManager", "SophosWebIntelligence",
        "SophosMcsAgentD", "SophosAutoUpdate", "SophosAntiVirus", "SophosSXLD", "SophosUIServer"},
       1,
       false}},
     0,
     false,
     "",
     ""},
    {"VueScan", {}, 4, {}, {}, {}, 0, false, "", "T"},
    {"ParallelsDesktop",
     {},
     13,
     {{"com.parallels", {LaunchAgents, Preferences, LaunchDaemons}}},
     {"/Applications/Parallels Desktop.app"},
     {},
     0,
     false,
     "",
     "TFR"},
    {"MediaFireDesktop", {}, 2, {}, {}, {}, 0, false, "", "T"},
    {"WondershareVideoConverterUltimate",
     {},
     6,
     {{"com.Wondershare.Video-Converter-Ultimate", {LaunchAgents, Preferences, LaunchDaemons}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"Kodi", {}, 2, {}, {}, {}, 0, false, "", "T"},
    {"Cleaner",
     {},
     1,
     {{"com.reimage", {Receipts}}},
     {"/Library/LaunchDaemons/com.reimage.cleaner.plist", "/Library/Services/ReimageService"},
     {},
     0,
     false,
     "",
     "TFR"},
    {"NoSleep", {}, 4, {{"com.protech", {Receipts}}}, {}, {}, 0, false, "", "TF"},
    {"Audirvana", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"MacXYouTubeDownloader", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"5KPlayer",
     {},
     0,
     {{"com.digiarty.5kplayer", {LaunchAgents, Preferences, LaunchDaemons}}},
     {},
     {},
     0,
     false,
     "",
     "F"},
    {"VLCMediaPlayer", {}, 1, {{"org.videolan.vlc", {Preferences}}}, {}, {}, 0, false, "", "TF"},
    {"SmoothMouse",
     {},
     1,
     {{"com.cyberic.smoothmouse", {LaunchAgents, Preferences, LaunchDaemons, Caches}},
      {"com.cyberic.pkg.smoothmouse", {Receipts}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"SketchUp",
     {},
     9,
     {{"com.sketchup", {LaunchAgents, Preferences, LaunchDaemons, Caches, Receipts, Cookies}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"OmniDiskSweeper",
     {},
     0,
     {{"com.omnigroup.OmniDiskSweeper", {Preferences}}},
     {},
     {},
     0,
     false,
     "",
     "F"},
    {"iZip", {}, 0, {{"com.iboostup.izip", {Preferences}}}, {}, {}, 0, false, "", "F"},
    {"CrashPlan",
     {"CrashPlan", "CrashPlanService", "CrashPlan menu bar"},
     2,
     {{"com.crashplan", {LaunchAgents, Preferences, LaunchDaemons}}},
     {"/Library/LaunchDaemons/com.crashplan.engine.plist", "/Applications/CrashPlan.app"},
     {{{}, 0, true}},
     0,
     false,
     "",
     ""},
    {"SwitchResX",
     {"SwitchResX Control", "SwitchResX Daemon", "SwitchResX Extensions", "SwitchResX Menu"},
     0,
     {{"madrau.switchresx",
       {LaunchAgents, Preferences, LaunchDaemons, Caches, Receipts, Cookies, SavedState}}},
     {},
     {},
     0,
     false,
     "",
     "SF"},
    {"Folx",
     {},
     4,
     {{"com.eltima.folx", {LaunchAgents, Preferences, LaunchDaemons, Caches, Receipts, Cookies}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"CarbonCopyCloner",
     {"CCC User Agent", "Carbon Copy Cloner"},
     1,
     {{"com.bombich.ccc",
       {LaunchAgents, Preferences, LaunchDaemons, Caches, Receipts, Cookies, SavedState,
        GroupContainers}}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"WondershareTunesGo",
     {"Wondershare Helper Compact", "Wondershare TunesGo Helper"},
     4,
     {{"com.wondershare", {LaunchAgents, Preferences, LaunchDaemons, Caches}}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"GetBackupPro", {}, 4, {}, {}, {}, 0, false, "", "T"},
    {"EndNote", {}, 10, {}, {}, {}, 0, false, "", "T"},
    {"PDF2Office",
     {},
     8,
     {{"com.recosoft.pdf2officeProfessional", {Caches, Receipts, Cookies}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"LogicProX", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"SmartSwitch",
     {},
     4,
     {{"com.samsung.SmartSwitch", {Caches, Receipts, Cookies}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"Sketch",
     {},
     1,
     {{"com.bohemiancoding.sketch", {Caches, Receipts, Cookies}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"Boom2",
     {},
     2,
     {{"com.globaldelight.Boom",
       {LaunchAgents, Preferences, LaunchDaemons, Caches, Receipts, Cookies}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"1Password6",
     {},
     2,
     {{"com.agilebits.onepassword4", {LaunchAgents, Preferences, LaunchDaemons}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"SoundForgePro", {}, 3, {}, {}, {}, 0, false, "", "T"},
    {"CleanMyDrive",
     {},
     0,
     {{"com.macpaw.CleanMyDrive",
       {LaunchAgents, Preferences, LaunchDaemons, Caches, Receipts, Cookies}}},
     {},
     {},
     0,
     false,
     "",
     "F"},
    {"ACDSeeMacPro",
     {},
     2,
     {{"com.ACDSystems.ACDSeePro", {LaunchAgents, Preferences, LaunchDaemons}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"qBittorrent",
     {},
     1,
     {{"org.qbittorrent", {LaunchAgents, Preferences, LaunchDaemons}},
      {"com.qbittorrent", {LaunchAgents, Preferences, LaunchDaemons}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"FontExlorerXPro",
     {},
     2,
     {{"com.linotype.FontExplorerX",
       {LaunchAgents, Preferences, LaunchDaemons, Caches, Receipts, Cookies}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"Perian",
     {},
     1,
     {{"org.perian.Perian", {LaunchAgents, Preferences, LaunchDaemons}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"YoWindow",
     {},
     4,
     {{"com.repkasoft.yowindow",
       {LaunchAgents, Preferences, LaunchDaemons, Caches, Receipts, Cookies}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"TidyUp",
     {},
     0,
     {{"com.hyperbolicsoftware.tidyUp",
       {LaunchAgents, Preferences, LaunchDaemons, Caches, Receipts, Cookies, SavedState}}},
     {},
     {},
     0,
     false,
     "",
     "F"},
    {"Spark",
     {},
     1,
     {{"com.readdle.smartemail", {Caches, Receipts, Cookies, SavedState, GroupContainers}}},
     {"/Applications/Spark.app"},
     {},
     0,
     false,
     "",
     "TFR"},
    {"YummyFTP",
     {},
     1,
     {{"com.yummysoftware.yummy-ftp", {LaunchAgents, Preferences, LaunchDaemons}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"Yasu", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"TechToolPro",
     {},
     17,
     {{"com.micromat.techtoolpro", kStandardScans}, {"com.micromat.pkg.TechToolPro", {Receipts}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"ScanGuard", {}, 3, {{"com.jdi.ss.ScanGuard", kStandardScans}}, {}, {}, 0, false, "", "TF"},
    {"MacXVideoConverterPro",
     {},
     0,
     {{"com.macxdvd.macxvdoconverter", kStandardScans}},
     {},
     {},
     0,
     false,
     "",
     "F"},
    {"SpamSieve", {}, 3, {{"com.c-command.SpamSieve", kStandardScans}}, {}, {}, 0, false, "", "TF"},
    {"OmniGraffle",
     {},
     4,
     {{"com.omnigroup.OmniGraffle", kStandardScans}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"SnapNDrag", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"Fantastical",
     {},
     4,
     {{"com.flexibits.fantastical", kStandardScans}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"DiskCatalogMaker",
     {},
     0,
     {{"com.mac.fujisoft.DiskCatalogMaker", kStandardScans}},
     {},
     {},
     0,
     false,
     "",
     "F"},
    {"AmazonDrive",
     {},
     4,
     {{"com.amazon.clouddrive.mac", kStandardScans}},
     {},
     {{{}, 5, false}},
     0,
     false,
     "",
     "TFR"},
    {"HandsOff", {}, 2, {{"com.metakine.handsoff", kStandardScans}}, {}, {}, 0, false, "", "TF"},
    {"SoftRAID", {}, 3, {{"com.softraid.SoftRAID", kStandardScans}}, {}, {}, 0, false, "", "TF"},
    {"Dashlane",
     {"DashlanePluginService", "DashlaneXPCService", "DashlaneAutoStartHelper", "Dashlane",
      "DashlaneAgent"},
     2,
     {{"com.dashlane.Dashlane", {LaunchAgents, Preferences, LaunchDaemons}}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"TrendMicro",
     {},
     12,
     {{"com.trendmicro", kStandardScans}},
     {"/Applications/TrendMicro.localized"},
     {},
     0,
     false,
     "",
     "TFR"},
    {"ChronoSync",
     {"ChronoSync Scheduler", "WakeToSyncToolTemplate", "ChronoSync", "CxProfilesPreferencePane",
      "GeneralPreferencePane", "HelpersPreferencePane", "SchedulerPreferencePane",
      "TemplatesPreferencePane", "ChronoAgentLocal"},
     2,
     {{"com.econtechnologies.chronosync", kStandardScans},
      {"com.econtechnologies.backgrounder.chronosync", {Caches}}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"Synergy",
     {"Synergy", "synergyc", "synergys", "syntool"},
     0,
     {{"synergy", kStandardScans}},
     {},
     {},
     0,
     false,
     "",
     "SF"},
    {"GeekTool",
     {"GeekTool", "GeekTool Helper"},
     0,
     {{"org.tynsoe.GeekTool", kStandardScans}},
     {},
     {},
     0,
     false,
     "",
     "SF"},
    {"LogitechUnifyingSoftware",
     {"Logitech Updater", "Logitech Unifying Software"},
     2,
     {{"com.Logitech", kStandardScans}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"ZipRar", {}, 3, {{"com.ZipRar.zr", kStandardScans}}, {}, {}, 0, false, "", "TF"},
    {"Arcahol", {}, 3, {{"Arcahol", kStandardScans}}, {}, {{{}, 2, true}}, 0, false, "", "TFR"},
    {"Paltalk", {}, 1, {{"com.paltalk.paltalk", kStandardScans}}, {}, {}, 0, false, "", "TF"},
    {"TomTomHome",
     {},
     2,
     {{"com.tomtom", kStandardScans}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"MovaviScreenCaptureStudio",
     {},
     8,
     {{"com.movavi.screencapturestudio", kStandardScans}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"Intego", {}, 11, {{"com.intego", kStandardScans}}, {}, {{{}, 9, false}}, 0, false, "", "TFR"},
    {"Thunderbird",
     {},
     1,
     {{"org.mozilla.thunderbird", kStandardScans}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"ZipCloud", {}, 1, {{"com.jdibackup.ZipCloud", kStandardScans}}, {}, {}, 0, false, "", "TF"},
    {"MPlayerX", {}, 1, {{"org.niltsh.MPlayerX", kStandardScans}}, {}, {}, 0, false, "", "TF"},
    {"GPGSuiteTools",
     {},
     14,
     {{"org.gpgtools", kStandardScans}},
     {},
     {{{}, 12, false}},
     0,
     false,
     "",
     "TFR"},
    {"GarminExpress",
     {},
     2,
     {{"com.garmin.renu", kStandardScans}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"ClamXav",
     {},
     9,
     {{"uk.co.canimaansoftware.clamxav", kStandardScans}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"MacScan",
     {},
     5,
     {{"com.securemac.MacScan", kStandardScans}},
     {},
     {{{}, 5, false}},
     0,
     false,
     "",
     "TFR"},
    {"RekordBox",
     {},
     9,
     {{"com.pioneerdj.rekordboxdj", kStandardScans}, {"com.pioneer.Upmgr_rekordbox", {Caches}}},
     {},
     {{{}, 7, false}},
     0,
     false,
     "",
     "TFR"},
    {"TeamSpeak",
     {},
     8,
     {{"com.teamspeak.TeamSpeak", kStandardScans}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"AptanaStudio",
     {},
     4,
     {{"com.aptana.studio", kStandardScans}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"LittleSnitch",
     {},
     5,
     {{"at.obdev.LittleSnitch", kStandardScans}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"CisdemAppCrypt",
     {},
     2,
     {{"com.cisdem.appencrypt", kStandardScans}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"Yoink", {}, 4, {{"at.EternalStorms.Yoink", kStandardScans}}, {}, {}, 0, false, "", "TF"},
    {"WacomTabletUtility", {}, 16, {}, {}, {{{}, 15, false}}, 0, false, "", "TR"},
    {"MicrosoftRemoteDesktop", {}, 2, {}, {}, {}, 0, false, "", "T"},
    {"MacSpaceReviver",
     {},
     4,
     {{"com.PCvark.Mac-Space-Reviver", kStandardScans}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"ToastTitanium",
     {},
     5,
     {{"com.roxio.toast.toast", kStandardScans}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"NetSpot",
     {},
     1,
     {{"com.etwok.netspotwifi", kStandardScans}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"Citrio",
     {},
     3,
     {{"com.catalinagroup.Citrio", kStandardScans}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"JustColorPicker", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"CyberGhost",
     {},
     7,
     {{"com.cyberghostsrl.cyberghost", kStandardScans}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"TableTennisProLite", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"iBoostUp",
     {},
     1,
     {{"com.ituneup.ituneup", kStandardScans}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"MEGAsync", {}, 2, {}, {}, {{{}, 1, false}}, 0, false, "", "TR"},
    {"Pref360Control", {}, 6, {}, {}, {{{}, 5, false}}, 0, false, "", "TR"},
    {"VPNUnlimited",
     {},
     2,
     {{"com.simplexsolutionsinc.vpnguardMac", kStandardScans}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"AdwareRemovalPro",
     {},
     4,
     {{"com.yelab.AdwareRemovalPro", kStandardScans}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"WineBottler",
     {},
     3,
     {{"org.kronenberg.WineBottler", kStandardScans}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"Wine", {}, 4, {{"org.kronenberg.Wine", kStandardScans}}, {}, {}, 0, false, "", "TF"},
    {"FSecureXC",
     {},
     12,
     {{"com.fsecure.XFENCE", kStandardScans}},
     {},
     {{{}, 12, false}},
     0,
     false,
     "",
     "TFR"},
    {"EPSONScan",
     {},
     5,
     {{"com.epson.scan", kStandardScans}},
     {},
     {{{}, 5, false}},
     0,
     false,
     "",
     "TFR"},
    {"ScreenFlow",
     {},
     1,
     {{"net.telestream.screenflow", {Containers}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"Movist",
     {},
     2,
     {{"com.movist.Movist", kStandardScansWithContainers}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"Pastebot",
     {},
     1,
     {{"com.tapbots.Pastebot2Mac", kStandardScansWithContainers}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"SoundSource",
     {},
     1,
     {{"com.rogueamoeba.soundsource", kStandardScansWithContainers}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"TinkerToolSystem",
     {},
     4,
     {{"com.bresink.system", kStandardScansWithContainers}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"SyncMate",
     {},
     8,
     {{"com.eltima.SyncMate", kStandardScansWithContainers}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"MalwareCrusher",
     {},
     8,
     {{"com.techyutils.Malware-Crusher", kStandardScansWithContainers}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"HideMeVPN",
     {},
     6,
     {{"me.hide.osxclient", kStandardScansWithContainers}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"Sonos",
     {},
     7,
     {{"com.sonos.macController", kStandardScansWithContainers}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"K9WebProtection", {}, 7, {}, {}, {{{}, 7, false}}, 0, false, "", "TR"},
    {"SophosHome", {}, 20, {}, {}, {{{}, 22, false}}, 0, false, "", ""},
    {"Mamp",
     {},
     8,
     {{"de.appsolute.MAMP", kStandardScansWithContainers}},
     {},
     {{{}, 6, false}},
     0,
     false,
     "",
     "TFR"},
    {"HQPlayerDesktop", {}, 2, {}, {}, {{{}, 1, false}}, 0, false, "", "TR"},
    {"handyPrint",
     {},
     6,
     {{"com.netputing.handyPrint", kStandardScansWithContainers}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"ZappitiMediaCenter",
     {},
     6,
     {{"com.archisoft.zmc4", kStandardScansWithContainers},
      {"com.archisoft.zappitiserver", {SavedState}}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"TheUnarchiver", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"SilhouetteStudio",
     {},
     12,
     {{"com.silhouettesoftware", kStandardScansWithContainers}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"FitbitConnect",
     {},
     8,
     {{"com.fitbit.Galileo", kStandardScansWithContainers}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"CamTwist", {}, 3, {}, {}, {}, 0, false, "", "T"},
    {"StuffItExpander",
     {},
     3,
     {{"com.stuffit.StuffIt-Expander", kStandardScansWithContainers}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"ZeroNet",
     {},
     1,
     {{"org.pythonmac.unspecified.ZeroNet", kStandardScansWithContainers}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"qTox", {}, 4, {{"chat.tox.qtox", {SavedState}}}, {}, {}, 0, false, "", "TF"},
    {"uTox", {}, 2, {{"future.utox", {SavedState}}}, {}, {}, 0, false, "", "TF"},
    {"EarMaster", {}, 8, {}, {}, {}, 0, false, "", "T"},
    {"ServiioConsole", {}, 7, {}, {}, {{{}, 7, false}}, 0, false, "", "TR"},
    {"Boom3D", {}, 9, {}, {}, {{{}, 9, false}}, 0, false, "", "TR"},
    {"TeXstudio", {}, 1, {{"texstudio", {SavedState}}}, {}, {}, 0, false, "", "TF"},
    {"WDDriveUtilities", {}, 6, {}, {}, {}, 0, false, "", "T"},
    {"OwnCloud",
     {},
     3,
     {{"com.owncloud", kStandardScansWithContainers}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"Grammarly",
     {},
     2,
     {{"com.grammarly.DesktopEditor", kStandardScansWithContainers}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"Roblox",
     {},
     5,
     {{"com.Roblox.Roblox", kStandardScansWithContainers}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"RobloxStudio", {}, 2, {}, {}, {}, 0, false, "", "T"},
    {"SidifyMusicConverter",
     {},
     1,
     {{"com.sidify.spotifyconverter", {LaunchAgents, Preferences, LaunchDaemons}}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"Anki", {}, 4, {}, {}, {}, 0, false, "", "T"},
    {"OBS",
     {},
     4,
     {{"com.obsproject.obs-studio", {LaunchAgents, Preferences, LaunchDaemons}}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"Keka", {}, 4, {}, {}, {}, 0, false, "", "T"},
    {"Xmarks",
     {},
     3,
     {{"com.xmarks.XmarksForSafari", kStandardScansWithContainers}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"RemoRecover",
     {},
     2,
     {{"com.mygreatcompany.pkg.RemoRecoverrwcpa", kStandardScansWithContainers}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"EyeConnect",
     {},
     3,
     {{"com.elgato.EyeConnect", kStandardScansWithContainers}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"Tunnelblick",
     {},
     1,
     {{"net.tunnelblick.tunnelblick", kStandardScansWithContainers}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"SeagateDashboard",
     {},
     10,
     {{"com.seagate.dashboard", kStandardScansWithContainers}},
     {},
     {{{}, 5, false}},
     0,
     false,
     "",
     "TFR"},
    {"TuneupMyMac", {}, 6, {}, {}, {{{}, 4, false}}, 0, false, "", "TR"},
    {"OpenOffice", {}, 2, {}, {}, {{{}, 2, false}}, 0, false, "", "TR"},
    {"FxFactory",
     {},
     12,
     {{"com.fxfactory.FxFactory", kStandardScansWithContainers}},
     {},
     {{{}, 12, false}},
     0,
     false,
     "",
     "TFR"},
    {"DXOPhotoLab1",
     {},
     5,
     {{"com.dxo.PhotoLab1", kStandardScansWithContainers}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"LeawoMusicRecorder",
     {},
     5,
     {{"com.leawo.musicrecorder", kStandardScansWithContainers}},
     {},
     {{{}, 6, false}},
     0,
     false,
     "",
     "TFR"},
    {"GooglePlayMusicDesktopPlayer",
     {},
     1,
     {{"google-play-music-desktop-player", kStandardScansWithContainers}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"CrossOver",
     {},
     4,
     {{"com.codeweavers.CrossOver", kStandardScansWithContainers}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"FreeDownloadManager",
     {},
     2,
     {{"org.freedownloadmanager.fdm", kStandardScansWithContainers}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"Transmission",
     {},
     2,
     {{"org.m0k.transmission", kStandardScansWithContainers}},
     {},
     {},
     0,
     false,
     "",
     ""},
    {"VyprVPN", {}, 12, {}, {}, {{{}, 12, false}}, 0, false, "", "TR"},
};

char kindLetter(StepKind kind) {
    switch (kind) {
        case StepKind::Stop:
            return 'S';
        case StepKind::StopByFolders:
            return 'B';
        case StepKind::Trash:
            return 'T';
        case StepKind::Scan:
            return 'F';
        case StepKind::RootShell:
        case StepKind::RootForce:
        case StepKind::RootPattern:
            return 'R';
        case StepKind::OwnerHomeFolder:
            return 'H';
        case StepKind::Log:
            return 'L';
        case StepKind::Begin:
            return '?';
    }
    return '?';
}

TEST(RoutineTable, EveryRoutineKeepsItsProcessesFragmentsAndCounts) {
    ASSERT_EQ(kRoutines.size(), kExpected.size());
    for (size_t i = 0; i < kExpected.size(); ++i) {
        const Expectation& want = kExpected[i];
        const Routine& routine = kRoutines[i];
        SCOPED_TRACE(std::string(want.name));
        ASSERT_EQ(routine.name, want.name) << "routines out of the order of definition";

        std::vector<std::string_view> stops, forced;
        std::vector<std::pair<std::string_view, std::vector<Scanner>>> scans;
        std::vector<ShellExpectation> shells;
        int trashes = 0, patterns = 0;
        bool byFolders = false;
        std::string_view log;
        std::string order;
        for (const Step& step : routine.steps) {
            switch (step.kind) {
                case StepKind::Stop:
                    stops.push_back(step.a);
                    break;
                case StepKind::StopByFolders:
                    byFolders = true;
                    break;
                case StepKind::Trash:
                    ++trashes;
                    break;
                case StepKind::Scan:
                    scans.emplace_back(step.a, std::vector<Scanner>(step.scans.scanners().begin(),
                                                                    step.scans.scanners().end()));
                    break;
                case StepKind::RootForce:
                    forced.push_back(step.a);
                    break;
                case StepKind::RootPattern:
                    ++patterns;
                    break;
                case StepKind::Log:
                    log = step.a;
                    break;
                case StepKind::RootShell: {
                    ShellExpectation shell{{}, 0, false};
                    ASSERT_TRUE(forEachShellCommand(step.a, [&](const ShellCommand& c) {
                        if (c.verb == ShellVerb::Killall)
                            shell.kills.push_back(c.arg);
                        if (isRemoval(c.verb))
                            ++shell.removes;
                        if (c.verb == ShellVerb::ChflagsNoschg)
                            shell.chflags = true;
                    }));
                    shells.push_back(shell);
                    break;
                }
                default:
                    break;
            }
            const char letter = kindLetter(step.kind);
            if (order.empty() || order.back() != letter)
                order += letter;
        }
        EXPECT_EQ(stops, want.stops);
        EXPECT_EQ(trashes, want.trashes);
        EXPECT_EQ(scans, want.scans);
        EXPECT_EQ(forced, want.forced);
        EXPECT_EQ(patterns, want.patterns);
        EXPECT_EQ(byFolders, want.stopsByFolders);
        EXPECT_EQ(log, want.log);
        ASSERT_EQ(shells.size(), want.shells.size());
        for (size_t s = 0; s < shells.size(); ++s) {
            SCOPED_TRACE("shell line " + std::to_string(s + 1));
            EXPECT_EQ(shells[s].kills, want.shells[s].kills);
            EXPECT_EQ(shells[s].removes, want.shells[s].removes);
            EXPECT_EQ(shells[s].chflags, want.shells[s].chflags);
        }
        if (!want.order.empty()) {
            EXPECT_EQ(order, want.order);
        }
    }
}

TEST(RoutineTable, RoutineNamesAndArgumentsMatchTheEntryPoints) {
    // 111 routines take an argument (the mode, or the install path for one of them);
    // 77 have steps that run in root mode only.
    const auto isList = [](const Step& s, std::initializer_list<Scanner> list) {
        return std::equal(s.scans.scanners().begin(), s.scans.scanners().end(), list.begin(),
                          list.end());
    };
    int withArgument = 0, withInstallPath = 0, withRootSteps = 0, s8 = 0, s9 = 0;
    for (const Routine& r : kRoutines) {
        withArgument += r.argument != Argument::None;
        withInstallPath += r.argument == Argument::InstallPath;
        bool root = false;
        for (const Step& s : r.steps) {
            root = root || s.kind == StepKind::RootShell || s.kind == StepKind::RootForce ||
                   s.kind == StepKind::RootPattern || s.kind == StepKind::OwnerHomeFolder;
            s8 += s.kind == StepKind::Scan && isList(s, build::kStandardScans);
            s9 += s.kind == StepKind::Scan && isList(s, build::kStandardScansWithContainers);
        }
        withRootSteps += root;
    }
    EXPECT_EQ(withArgument, 111);
    EXPECT_EQ(withInstallPath, 1);
    EXPECT_EQ(withRootSteps, 77);
    EXPECT_EQ(s8, 47);
    EXPECT_EQ(s9, 30);
    EXPECT_EQ(findRoutine("MovaviScreenCaptureStudio"),
              &kRoutines[routineIndex("MovaviScreenCaptureStudio")]);
    EXPECT_EQ(findRoutine("MovaviScreenCaptureStudio")->argument, Argument::Mode);
    EXPECT_EQ(findRoutine("MovaviScreenCaptureStudio3")->argument, Argument::None);
    EXPECT_EQ(findRoutine("Nothing"), nullptr);
}

// ---- The routines whose steps are given in full ----

std::string scannerNames(const ScanList& list) {
    static const char* const kNames[] = {
        "LaunchDaemons", "LaunchAgents",    "Preferences",     "Receipts",        "Caches",
        "Cookies",       "SavedState",      "Containers",      "GroupContainers", "Logs",
        "Extensions",    "SharedFileLists", "TemporaryFolders"};
    const auto same = [&](std::initializer_list<Scanner> set) {
        return std::equal(list.scanners().begin(), list.scanners().end(), set.begin(), set.end());
    };
    if (same(build::kStandardScans))
        return "standard";
    if (same(build::kStandardScansWithContainers))
        return "standard+containers";
    std::string out;
    for (Scanner s : list.scanners())
        out += (out.empty() ? "" : " ") + std::string(kNames[static_cast<size_t>(s)]);
    return out;
}

std::string describe(const Step& s) {
    const std::string a(s.a), b(s.b);
    switch (s.kind) {
        case StepKind::Stop:
            return "stop " + a;
        case StepKind::StopByFolders:
            return "stop-by-folders <install path>;" + a;
        case StepKind::Trash:
            return "trash " + a;
        case StepKind::Scan:
            return "scan " + a + " " + scannerNames(s.scans);
        case StepKind::RootShell:
            return "shell " + a;
        case StepKind::RootForce:
            return "force " + a;
        case StepKind::RootPattern:
            return "rm " + b + " " + a;
        case StepKind::OwnerHomeFolder:
            return "user home " + a;
        case StepKind::Log:
            return "log " + a;
        case StepKind::Begin:
            break;
    }
    return "?";
}

std::vector<std::string> describe(std::string_view routineName) {
    std::vector<std::string> out;
    const Routine* r = findRoutine(routineName);
    if (!r)
        return {"no such routine"};
    for (const Step& s : r->steps)
        out.push_back(describe(s));
    return out;
}

struct ToldRoutine {
    std::string_view name;
    std::vector<std::string> steps;
};

const std::string kMacKeeperShell =
    "shell rm -rf /Applications/MacKeeper.app;rm -rf /Library/Application Support/MacKeeper;"
    "rm -rf /Library/Caches/com.mackeeper.MacKeeper;"
    "rm -rf ~/Library/Application Support/MacKeeper Helper;"
    "rm -rf ~/Library/Caches/com.mackeeper.MacKeeper;rm -rf ~/Documents/MacKeeper Backups";

const std::vector<std::string> kKasperskyPaths = {
    "/Applications/Kaspersky Anti-Virus For Mac.app",
    "/Library/Application Support/Kaspersky Lab",
    "/Library/Caches/com.kaspersky.kav",
    "/Library/Extensions/klif.kext",
    "/Library/LaunchAgents/com.kaspersky.kav.gui.plist",
    "/Library/LaunchDaemons/com.kaspersky.kav.plist",
    "/Library/Services/KAVService.service",
    "~/Library/Caches/com.kaspersky.kav.downloader",
    "~/Library/Cookies/com.kaspersky.kav.downloader.binarycookies",
    "~/Library/Preferences/com.kaspersky.kav.plist",
    "~/Library/Preferences/com.kaspersky.kav_agent.plist",
};

std::vector<std::string> kasperskySteps() {
    std::string chmods, removals;
    for (const auto& p : kKasperskyPaths) {
        chmods += "chmod 777 " + p + ";";
        removals += (removals.empty() ? "rm -rf " : ";rm -rf ") + p;
    }
    std::vector<std::string> steps{"shell " + chmods + removals,
                                   "trash /Library/Logs/Kaspersky Lab",
                                   "trash /Users/Guest/Library/Application Support/Kaspersky Lab",
                                   "trash /Users/Shared/Library/Application Support/Kaspersky Lab"};
    for (const auto& p : kKasperskyPaths)
        steps.push_back("trash " + p);
    steps.push_back("scan com.kaspersky.kav LaunchAgents Preferences LaunchDaemons");
    return steps;
}

std::vector<std::string> ntfs3gSteps() {
    std::vector<std::string> steps;
    for (const char* p : {
             "/Library/PreferencePanes/MacFUSE.prefPane",
             "/Library/PreferencePanes/NTFS-3G.prefPane",
             "/usr/local/include/ntfs",
             "/usr/local/include/ntfs-3g",
             "/usr/local/share/doc/ntfs-3g",
             "/usr/local/share/doc/ntfsprogs",
             // The driver's manual page, not the whole man8 section of every package.
             "/usr/local/share/man/man8/ntfs-3g.8",
             "/System/Library/Filesystems/ntfs-3g.fs",
             "/Library/Filesystems/osxfusefs.fs",
             "/Library/Preferences/com.google.macfuse.plist",
             "/Library/Logs/ntfs-3g_util.log",
             "/Library/Preferences/org.catacombae.macntfs-3g.DriverSettings.plist",
             "/Library/Preferences/org.catacombae.macntfs-3g.DriverSettings.plist.lockfile",
             "/private/var/run/ntfs-3g_daemon.pid",
             "/sbin/mount_ntfs-3g",
             "/sbin/newfs_ntfs-3g",
             "/usr/local/bin/fuse_wait",
             "/usr/local/bin/ntfs-3g",
             "/usr/local/bin/ntfs-3g.probe",
             "/usr/local/bin/ntfs-3g_daemon",
             "/usr/local/bin/ntfscat",
             "/usr/local/bin/ntfscluster",
             "/usr/local/bin/ntfscmp",
             "/usr/local/bin/ntfsinfo",
             "/usr/local/bin/ntfsls",
             "/usr/local/sbin/mkntfs",
             "/usr/local/sbin/ntfsclone",
             "/usr/local/sbin/ntfscp",
             "/usr/local/sbin/ntfslabel",
             "/usr/local/sbin/ntfsresize",
         })
        steps.push_back(std::string("trash ") + p);
    steps.push_back("rm -f /usr/local/lib/libntfs.*");
    steps.push_back("rm -f /usr/local/lib/libntfs-3g.*");
    steps.push_back("rm -f /usr/local/pkgconfig/libntfs-3g.pc*");
    return steps;
}

TEST(RoutineTable, ToldRoutinesHaveExactlyTheirSteps) {
    const std::vector<ToldRoutine> told = {
        {"TeamViewer",
         {"trash ~/Library/Application Support/TeamViewer",
          "scan com.teamviewer LaunchDaemons LaunchAgents",
          "trash /Library/PrivilegedHelperTools/com.teamviewer.Helper",
          "trash /Library/Security/SecurityAgentPlugins/TeamViewerAuthPlugin.bundle",
          "trash /Library/Fonts/TeamViewer10.otf", "log TeamViewer.app Extend Deleted Files"}},
        {"MacKeeper",
         {"stop MacKeeper Helper", "stop MacKeeper", "stop AntiTheft", "stop AntiTheftAgent",
          "stop MKAuthPlugin", "stop AntiVirus", "stop AntiVirusAgent", kMacKeeperShell,
          "trash /Applications/MacKeeper.app", "trash /Library/Application Support/MacKeeper",
          "trash ~/Library/Logs/MacKeeper.log",
          "trash ~/Library/Application Support/MacKeeper Helper",
          "trash ~/Documents/MacKeeper Backups", "scan mackeeper standard"}},
        {"KasperskyAntiVirus", kasperskySteps()},
        {"GoProStudio",
         {"force /Applications/GoPro Studio.app",
          "force /Applications/GoPro.app",
          "force /Applications/GoPro",
          "trash ~/Library/Saved Application State/com.gopro.GoPro-Studio.savedState",
          "trash ~/Library/Saved Application State/com.GoPro.goproapp.savedState",
          "trash /Applications/GoPro",
          "trash /Applications/GoPro Studio.app",
          "trash /Applications/GoPro.app",
          "trash /Library/logs/GoPro",
          "trash ~/Library/Application Support/com.gopro.GoPro-Studio",
          "trash ~/Library/Application Support/com.GoPro.goproapp.GoProAlertService",
          "trash ~/Library/Application Support/com.GoPro.goproapp.GoProAnalyticsService",
          "trash ~/Library/Application Support/com.GoPro.goproapp.GoProDeviceService",
          "trash ~/Library/Application Support/com.GoPro.goproapp.GoProMediaFolderService",
          "trash ~/Library/Application Support/com.GoPro.goproapp.GoProMediaService",
          "trash ~/Library/Application Support/com.GoPro.goproapp.GoProShareService",
          "trash ~/Library/Caches/com.gopro.GoPro-Studio",
          "trash ~/Library/Logs/GoProApp",
          "scan com.gopro LaunchDaemons LaunchAgents Preferences",
          "scan com.GoPro Receipts"}},
        {"ParagonNTFS",
         {"force /Library/Filesystems/ufsd_NTFS.fs",
          "shell killall com.paragon-software.NTFS.fsnotify.agent;"
          "killall com.paragon-software.NTFS.fsnotify.daemon",
          "trash /Library/Extensions/ufsd_NTFS.kext", "trash /Library/Filesystems/ufsd_NTFS.fs",
          "trash /Library/PreferencePanes/ParagonNTFS.prefPane",
          "trash /Library/Application Support/Paragon Updater.app",
          "trash /Library/Application Support/Paragon Updater",
          "trash /Library/Application Support/Paragon Software", "scan Paragon Caches Logs",
          "scan com.paragon Receipts LaunchDaemons LaunchAgents Preferences"}},
        {"CrashPlan",
         {"stop CrashPlan", "stop CrashPlanService", "stop CrashPlan menu bar",
          "trash /Library/Application Support/CrashPlan", "trash /Library/Logs/CrashPlan",
          "scan com.crashplan LaunchAgents Preferences LaunchDaemons",
          "force /Library/LaunchDaemons/com.crashplan.engine.plist",
          "shell sudo chflags noschg /Applications/CrashPlan.app;"
          "sudo chflags nouchg /Applications/CrashPlan.app",
          "force /Applications/CrashPlan.app"}},
        {"NTFS3GMacFUSE", ntfs3gSteps()},
        {"Avira",
         {"stop AvStats",
          "stop-by-folders <install path>;/Applications/Utilities/Avira-Uninstall.app;"
          "/Applications/Utilities/Avira;/Library/Application Support/Avira;"
          "~/Library/Application Support/Avira",
          "scan com.avira.antivirus LaunchDaemons LaunchAgents",
          "trash /Applications/Utilities/Avira-Uninstall.app",
          "trash /Applications/Utilities/Avira", "trash /Library/Application Support/Avira",
          "trash ~/Library/Application Support/Avira",
          "trash /Library/LaunchDaemons/com.avira.helper.watchdox.plist",
          "trash /Library/LaunchAgents/com.avira.helper.avstats.plist"}},
        {"Adguard",
         {"stop Adguard", "trash ~/Library/Logs/Adguard",
          "user home /Library/Application Support/com.adguard.Adguard"}},
        {"AirParrot",
         {"scan AirParrotDriver.kext Extensions", "scan APExtFramebuffer.kext Extensions",
          "scan com.squirrels.AirParrot Preferences"}},
        {"Growl",
         {"trash ~/Library/Application Scripts/com.Growl.GrowlHelperApp",
          "scan com.growl.Growl Containers TemporaryFolders"}},
        {"Opera", {"scan com.operasoftware SharedFileLists Caches"}},
        {"Transmission",
         {"trash ~/Library/Caches/org.m0k.transmission",
          "trash ~/Library/Cookies/org.m0k.transmission.binarycookies",
          "scan org.m0k.transmission standard+containers"}},
        {"Andy", {}},
    };
    for (const auto& routine : told) {
        SCOPED_TRACE(std::string(routine.name));
        EXPECT_EQ(describe(routine.name), routine.steps);
    }
}

// The two routines for one product: the first stops the daemons and clears their run-time
// files, then trashes; the second opens and removes everything in one line (patterns
// included) and then trashes the same paths that are not patterns, in the same order.
TEST(RoutineTable, SophosRoutinesStopThenRemoveThenTrash) {
    const auto other = describe("SophosHome_Other");
    ASSERT_EQ(other.size(), 18u);
    EXPECT_EQ(other.front(),
              "shell killall SophosConfigD;killall SophosScanD;killall SophosServiceManager;"
              "killall SophosWebIntelligence;killall SophosMcsAgentD;killall SophosAutoUpdate;"
              "killall SophosAntiVirus;killall SophosSXLD;killall SophosUIServer;"
              "rm -rf /private/var/run/com.sophos.*");
    EXPECT_EQ(other[1], "trash /private/var/db/dslocal/nodes/Default/groups/_sophos.plist");
    EXPECT_EQ(other[2], "trash /private/var/db/dslocal/nodes/Default/users/_sophos.plist");
    EXPECT_EQ(other.back(), "scan com.sophos LaunchDaemons LaunchAgents Preferences Caches");

    const Routine* home = findRoutine("SophosHome");
    ASSERT_NE(home, nullptr);
    ASSERT_EQ(home->steps.size(), 21u);
    ASSERT_EQ(home->steps[0].kind, StepKind::RootShell);
    std::vector<std::string_view> opened, removed, trashed;
    forEachShellCommand(home->steps[0].a, [&](const ShellCommand& c) {
        (c.verb == ShellVerb::Chmod777 ? opened : removed).push_back(c.arg);
    });
    EXPECT_EQ(opened, removed);
    ASSERT_EQ(removed.size(), 22u);
    EXPECT_NE(std::find(removed.begin(), removed.end(), "/Library/Preferences/com.sophos*"),
              removed.end());
    EXPECT_NE(std::find(removed.begin(), removed.end(), "/private/var/run/com.sophos*"),
              removed.end());
    for (const Step& s : home->steps.subspan(1)) {
        EXPECT_EQ(s.kind, StepKind::Trash);
        trashed.push_back(s.a);
    }
    std::vector<std::string_view> notPatterns;
    for (auto p : removed)
        if (p.find('*') == std::string_view::npos)
            notPatterns.push_back(p);
    EXPECT_EQ(trashed, notPatterns);
}

// ---- The whole table against the guard ----

// Independent of the table's own compile-time checks: re-split every path here.
std::vector<std::string_view> components(std::string_view path) {
    std::vector<std::string_view> out;
    size_t start = path.starts_with("~/") ? 2 : 1;
    while (start <= path.size()) {
        const size_t slash = path.find('/', start);
        out.push_back(path.substr(start, slash - start));
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    return out;
}

void expectWellFormed(std::string_view path) {
    SCOPED_TRACE(std::string(path));
    EXPECT_TRUE(path.starts_with("/") || path.starts_with("~/"));
    const auto parts = components(path);
    EXPECT_FALSE(parts.empty());
    for (auto part : parts) {
        EXPECT_FALSE(part.empty() || part == "." || part == "..") << "component \"" << part << '"';
    }
}

// A path acted on by removal must be one product's entry: the guard, asked about the logical
// path it resolves to, must let it through (so the guard never has to save the day), and a
// pattern's matches must lie below a folder at least two levels down.
void expectRemovable(std::string_view tablePath) {
    SCOPED_TRACE(std::string(tablePath));
    expectWellFormed(tablePath);
    const auto logical = resolve(tablePath);
    ASSERT_TRUE(logical.has_value());
    const size_t star = logical->find('*');
    if (star == std::string::npos) {
        EXPECT_EQ(guard::refusal(*logical), std::nullopt);
        return;
    }
    const std::string stem = platform::standardizePath(logical->substr(0, star));
    EXPECT_EQ(guard::refusal(stem), std::nullopt);
    EXPECT_GE(platform::pathComponents(platform::deletingLastPathComponent(*logical)).size(), 3u);
}

TEST(RoutineTable, EveryPathIsAProductsOwnEntryThatTheGuardAllows) {
    test::TempVolume vol;  // "~" resolves below its home, /Users/tester
    ASSERT_TRUE(guard::isProtected("/Library/Extensions"));
    ASSERT_TRUE(guard::isProtected("/Users/tester/Library/Caches"));
    for (const Routine& r : kRoutines) {
        SCOPED_TRACE(std::string(r.name));
        for (const Step& s : r.steps) {
            switch (s.kind) {
                case StepKind::Stop:
                    EXPECT_FALSE(s.a.empty());
                    EXPECT_EQ(s.a.find(';'), std::string_view::npos);
                    break;
                case StepKind::StopByFolders: {
                    size_t start = 0;
                    while (true) {
                        const size_t semi = s.a.find(';', start);
                        expectWellFormed(s.a.substr(start, semi - start));
                        if (semi == std::string_view::npos)
                            break;
                        start = semi + 1;
                    }
                    break;
                }
                case StepKind::Trash:
                case StepKind::RootForce:
                case StepKind::RootPattern:
                    expectRemovable(s.a);
                    break;
                case StepKind::OwnerHomeFolder:
                    expectRemovable(std::string("~") + std::string(s.a));
                    break;
                case StepKind::Scan:
                    EXPECT_FALSE(s.a.empty());
                    EXPECT_GT(s.scans.count, 0u);
                    break;
                case StepKind::RootShell: {
                    const bool parsed = forEachShellCommand(s.a, [&](const ShellCommand& c) {
                        if (c.verb == ShellVerb::Killall)
                            EXPECT_FALSE(c.arg.empty());
                        else
                            expectRemovable(c.arg);
                    });
                    EXPECT_TRUE(parsed) << s.a;
                    break;
                }
                case StepKind::Log:
                    EXPECT_FALSE(s.a.empty());
                    break;
                case StepKind::Begin:
                    ADD_FAILURE() << "a routine start inside a routine";
                    break;
            }
        }
    }
}

// The row builders reject what the safety walk above looks for; these rows never compile,
// so the parsers the builders use are checked here directly.
TEST(RoutineTable, MalformedRowsAreRejected) {
    struct Case {
        std::string_view text;
        bool path, pattern;
    };
    const Case cases[] = {
        {"/Library/Caches/com.foo", true, false},
        {"~/Library/Caches/com.foo", true, false},
        {"Library/Caches", false, false},
        {"~", false, false},
        {"/", false, false},
        {"/Library/../System", false, false},
        {"/Library/./Caches", false, false},
        {"/Library//Caches", false, false},
        {"/Library/Caches/", false, false},
        {"/Library/Caches/com.foo;rm -rf /", false, false},
        {"/Library/Caches/$(reboot)", false, false},
        {"/Library/Preferences/com.foo*", false, true},
        {"/Library/*/com.foo", false, false},
        {"/Library/Preferences/com.foo?", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(detail::isTablePath(c.text, false), c.path);
        EXPECT_EQ(detail::isTablePath(c.text, true), c.pattern);
    }
    EXPECT_TRUE(
        isWellFormedShellLine("chmod 777 /Applications/Foo.app;rm -rf /Applications/Foo.app"));
    EXPECT_FALSE(
        isWellFormedShellLine("rm -rf /Applications/Foo.app;chmod 777 /Applications/Foo.app"));
    EXPECT_FALSE(isWellFormedShellLine("curl http://x | sh"));
    EXPECT_FALSE(isWellFormedShellLine("rm -rf /Applications/Foo.app;"));
    EXPECT_FALSE(isWellFormedShellLine(""));
    EXPECT_EQ(build::scanList(build::kStandardScans).count, 8u);
    EXPECT_EQ(build::scanList({LaunchDaemons, LaunchAgents}).count, 2u);
}

}  // namespace
}  // namespace vendrel::routines
