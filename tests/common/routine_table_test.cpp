// The routine table against what each routine is documented to do, and the whole table
// against the removal guard.
#include <gtest/gtest.h>

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

// ---- What every routine must hold ----

struct ShellExpectation {
    std::vector<std::string_view> kills;  // killall names, in order
    int removes;                          // rm commands
    bool chflags;                         // clears immutable flags
};

struct Expectation {
    std::string_view name;
    std::vector<std::string_view> stops;  // fun_Process_KillByName, in order
    int trashes;
    std::vector<std::pair<std::string_view, std::string_view>> scans;  // fragment, codes
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
    {"fun_AllClean_TeamViewer",
     {},
     4,
     {{"com.teamviewer", "LD LA"}},
     {},
     {},
     0,
     false,
     "TeamViewer.app Extend Deleted Files",
     ""},
    {"fun_AllClean_AndroidFileTransfer",
     {"Android File Transfer Agent"},
     1,
     {},
     {},
     {},
     0,
     false,
     "",
     "ST"},
    {"fun_AllClean_Avira:",
     {"AvStats"},
     6,
     {{"com.avira.antivirus", "LD LA"}},
     {},
     {},
     0,
     true,
     "",
     ""},
    {"fun_AllClean_OsiriX", {}, 2, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_GlimmerBlocker",
     {},
     2,
     {{"org.glimmerblocker", "LD LA"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_XtraFinder", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_IDrive",
     {"IDrive", "IDriveMonitor"},
     2,
     {{"com.prosoftnet.idrivedaemon", "LD LA"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_MacKeeper:",
     {"MacKeeper Helper", "MacKeeper", "AntiTheft", "AntiTheftAgent", "MKAuthPlugin", "AntiVirus",
      "AntiVirusAgent"},
     5,
     {{"mackeeper", "S8"}},
     {},
     {{{}, 6, false}},
     0,
     false,
     "",
     ""},
    {"fun_AllClean_BlueStacks",
     {"BlueStacks"},
     3,
     {{"com.BlueStacks", "LD LA PR SS"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_HotspotShield", {"Hotspot Shield"}, 2, {}, {}, {}, 0, false, "", "ST"},
    {"fun_AllClean_TuxeraNTFS", {}, 6, {{"com.tuxera", "LD LA PR RC"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_GoProStudio:",
     {},
     15,
     {{"com.gopro", "LD LA PR"}, {"com.GoPro", "RC"}},
     {"/Applications/GoPro Studio.app", "/Applications/GoPro.app", "/Applications/GoPro"},
     {},
     0,
     false,
     "",
     ""},
    {"fun_AllClean_MovaviScreenCaptureStudio",
     {},
     4,
     {{"com.movavi", "LA"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_ParagonNTFS:",
     {},
     6,
     {{"Paragon", "CA LG"}, {"com.paragon", "RC LD LA PR"}},
     {"/Library/Filesystems/ufsd_NTFS.fs"},
     {{{"com.paragon-software.NTFS.fsnotify.agent", "com.paragon-software.NTFS.fsnotify.daemon"},
       0,
       false}},
     0,
     false,
     "",
     ""},
    {"fun_AllClean_ManyCam", {}, 4, {{"com.visicom.ManyCam", "LD LA"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_VmwareFusion",
     {"vmware-vmx", "vmware-usbarbitrator", "VMware Graphics Service", "VMware Fusion Start Menu",
      "VMware Fusion Services", "VMware Fusion"},
     6,
     {{"com.vmware", "LD LA PR"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_Xcode",
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
    {"fun_AllClean_CleanMyMac",
     {"CleanMyMac 3", "CleanMyMac 3 Menu"},
     7,
     {{"com.macpaw", "LD LA PR"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_Malwarebytes:",
     {"Malwarebytes Anti-Malware", "Malwarebytes Anti-Malware Service"},
     8,
     {{"com.malwarebytes", "LD LA PR"}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "STFR"},
    {"fun_AllClean_NTFS3GMacFUSE:", {}, 30, {}, {}, {}, 3, false, "", ""},
    {"fun_AllClean_SynologyCloudStation:",
     {},
     4,
     {{"com.synology.CloudStation", "RC CA"}},
     {},
     {{{"Synology Cloud Station Drive Finder Integration", "Synology Cloud Station Drive"},
       0,
       false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_AVGAntiVirus:",
     {"AVG AntiVirus"},
     8,
     {{"com.avg.Antivirus", "LD LA PR RC CA"}},
     {},
     {{{"avgsched", "avgscand", "avgoad", "avggmsd", "avgd", "avgavid", "AVG AntiVirus"}, 2, false},
      {{}, 4, false}},
     0,
     false,
     "",
     "STFR"},
    {"fun_AllClean_BitTorrent", {}, 5, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_MegaBackup",
     {"MegaBackupAgent", "MegaBackup"},
     3,
     {{"com.megabackup.MegaBackup", "LD LA PR"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_GarminBaseCamp",
     {"BaseCamp", "MapManager", "MapInstall"},
     4,
     {{"com.Garmin.BaseCamp", "PR CA"},
      {"com.Garmin.MapInstall", "PR CA"},
      {"com.Garmin.MapManager", "PR"},
      {"com.Garmin.pkg", "RC"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_AirParrot",
     {},
     0,
     {{"AirParrotDriver.kext", "EX"},
      {"APExtFramebuffer.kext", "EX"},
      {"com.squirrels.AirParrot", "PR"}},
     {},
     {},
     0,
     false,
     "",
     ""},
    {"fun_AllClean_BoxSync",
     {"Box Sync"},
     1,
     {{"com.box.sync", "CK"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_DiskDrill:",
     {"Disk Drill"},
     1,
     {{"com.cleverfiles", "PR LD CA"}},
     {},
     {{{"SmartDaemon"}, 1, false}},
     0,
     false,
     "",
     "STFR"},
    {"fun_AllClean_OSXFUSE:",
     {},
     8,
     {{"com.github.osxfuse", "RC CA"}},
     {"/Library/Filesystems/osxfuse.fs", "/Library/Filesystems/osxfusefs.fs"},
     {},
     3,
     false,
     "",
     "TFR"},
    {"fun_AllClean_PDFelement",
     {},
     1,
     {{"com.wondershare.PDFelement", "PR"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_YoutubeDownloader",
     {},
     1,
     {{"com.midrey-software.Youtube Downloader", "PR"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_WhatsApp:",
     {"WhatsApp"},
     1,
     {{"WhatsApp", "PR"}},
     {},
     {{{"WhatsApp", "WhatsApp Helper"}, 0, false}},
     0,
     false,
     "",
     "STFR"},
    {"fun_AllClean_XQuartz:",
     {},
     2,
     {{"org.macosforge.xquartz", "LA LD PR RC"}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_WeatherLive:",
     {},
     2,
     {},
     {},
     {{{"WeatherLiveHelper", "Weather Live"}, 0, false}},
     0,
     false,
     "",
     "TR"},
    {"fun_AllClean_ESETCyberSecurityPro:",
     {"ESET Cyber Security Pro"},
     2,
     {{"com.eset.esetCyberSecurityPro", "RC"},
      {"com.eset.ecsp", "LD LA PR"},
      {"com.eset.estes", "LD LA PR"}},
     {},
     {{{"esets_daemon", "esets_kac", "esets_ctl", "esets_mac", "ESET Cyber Security Pro",
        "esets_proxy"},
       0,
       false}},
     0,
     false,
     "",
     "STFR"},
    {"fun_AllClean_GoogleChrome", {}, 3, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_Evernote", {}, 0, {{"com.evernote", "CO"}}, {}, {}, 0, false, "", "F"},
    {"fun_AllClean_Growl", {}, 1, {{"com.growl.Growl", "CO VF"}}, {}, {}, 0, false, "", ""},
    {"fun_AllClean_Opera", {}, 0, {{"com.operasoftware", "SF CA"}}, {}, {}, 0, false, "", ""},
    {"fun_AllClean_COMODOAntivirus",
     {"TrayMenu", "Agent", "COMODO Antivirus", "COMODO Scanner"},
     4,
     {{"com.COMODO", "LD LA PR CA"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_GoToMeeting:",
     {"GoToMeeting", "GoToMeeting Recording Manager"},
     1,
     {{"com.citrixonline.GoToMeeting", "LD LA PR"}},
     {},
     {{{"G2MRelauncher", "G2MUpdate", "G2MUplad"}, 0, false}},
     0,
     false,
     "",
     "STFR"},
    {"fun_AllClean_CitrixReceiver",
     {"Citrix Receiver", "Citrix Receiver Helper", "Citrix Service Record Application",
      "AuthManager_Mac", "Citrix Viewer", "Citrix Receiver Launcher"},
     6,
     {{"com.citrix.receiver", "LD LA PR"},
      {"com.citrix.AuthManager", "LA"},
      {"com.citrix.ServiceRecords", "LA"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_Andy", {}, 0, {}, {}, {}, 0, false, "", ""},
    {"fun_AllClean_VirtualBox",
     {},
     12,
     {{"org.virtualbox", "LD LA PR RC CA CK SS GC"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_AVGLinkScanner:",
     {"AVG LinkScanner"},
     8,
     {{"com.avg", "LD LA PR RC"}},
     {},
     {{{"avgsched", "avgnotifyd", "avglnsd", "avgd", "avgconfigd"}, 2, false}},
     1,
     false,
     "",
     "STFR"},
    {"fun_AllClean_RazerSynapse",
     {},
     7,
     {{"com.razerzone", "LD LA PR RC"}, {"com.razer.rzupdater", "LA"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_KasperskyAntiVirus:",
     {},
     14,
     {{"com.kaspersky.kav", "LA PR LD"}},
     {},
     {{{}, 11, false}},
     0,
     false,
     "",
     ""},
    {"fun_AllClean_Skype:",
     {},
     8,
     {{"com.skype.skype", "LA PR LD"}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_MacBooster:",
     {"MacBooster mini", "MacBooster 3.0", "MacBooster 4.0", "MacBooster 5.0"},
     9,
     {{"com.iobit.AMCDaemon", "LD"},
      {"com.iobit.AMCUpdate", "LA"},
      {"com.iobit.MacBooster", "LA CA RC"},
      {"com.iobit.Boost", "PR"}},
     {},
     {{{"AMCDaemon"}, 0, false}},
     0,
     false,
     "",
     "STFR"},
    {"fun_AllClean_Audacity", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_SeratoDj", {}, 1, {{"com.serato", "LD LA PR"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_Camtasia",
     {},
     3,
     {{"com.techsmith.identityprofile", "CA"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_Adguard:", {"Adguard"}, 1, {}, {}, {}, 0, false, "", ""},
    {"fun_AllClean_SnapzProX:",
     {},
     1,
     {{"com.ambrosiasw.SnapLoginHelper", "CO VF"}, {"com.ambrosiasw.pkg", "RC"}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_SophosHome_Other:",
     {},
     16,
     {{"com.sophos", "LD LA PR CA"}},
     {},
     {{{"SophosConfigD", "SophosScanD", "SophosServiceManager", "SophosWebIntelligence",
        "SophosMcsAgentD", "SophosAutoUpdate", "SophosAntiVirus", "SophosSXLD", "SophosUIServer"},
       1,
       false}},
     0,
     false,
     "",
     ""},
    {"fun_AllClean_VueScan", {}, 4, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_ParallelsDesktop:",
     {},
     13,
     {{"com.parallels", "LA PR LD"}},
     {"/Applications/Parallels Desktop.app"},
     {},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_MediaFireDesktop", {}, 2, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_WondershareVideoConverterUltimate",
     {},
     6,
     {{"com.Wondershare.Video-Converter-Ultimate", "LA PR LD"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_Kodi", {}, 2, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_Cleaner:",
     {},
     1,
     {{"com.reimage", "RC"}},
     {"/Library/LaunchDaemons/com.reimage.cleaner.plist", "/Library/Services/ReimageService"},
     {},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_NoSleep", {}, 4, {{"com.protech", "RC"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_Audirvana", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_MacXYouTubeDownloader", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_5KPlayer",
     {},
     0,
     {{"com.digiarty.5kplayer", "LA PR LD"}},
     {},
     {},
     0,
     false,
     "",
     "F"},
    {"fun_AllClean_VLCMediaPlayer",
     {},
     1,
     {{"org.videolan.vlc", "PR"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_SmoothMouse",
     {},
     1,
     {{"com.cyberic.smoothmouse", "LA PR LD CA"}, {"com.cyberic.pkg.smoothmouse", "RC"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_SketchUp",
     {},
     9,
     {{"com.sketchup", "LA PR LD CA RC CK"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_OmniDiskSweeper",
     {},
     0,
     {{"com.omnigroup.OmniDiskSweeper", "PR"}},
     {},
     {},
     0,
     false,
     "",
     "F"},
    {"fun_AllClean_iZip", {}, 0, {{"com.iboostup.izip", "PR"}}, {}, {}, 0, false, "", "F"},
    {"fun_AllClean_CrashPlan:",
     {"CrashPlan", "CrashPlanService", "CrashPlan menu bar"},
     2,
     {{"com.crashplan", "LA PR LD"}},
     {"/Library/LaunchDaemons/com.crashplan.engine.plist", "/Applications/CrashPlan.app"},
     {{{}, 0, true}},
     0,
     false,
     "",
     ""},
    {"fun_AllClean_SwitchResX",
     {"SwitchResX Control", "SwitchResX Daemon", "SwitchResX Extensions", "SwitchResX Menu"},
     0,
     {{"madrau.switchresx", "LA PR LD CA RC CK SS"}},
     {},
     {},
     0,
     false,
     "",
     "SF"},
    {"fun_AllClean_Folx",
     {},
     4,
     {{"com.eltima.folx", "LA PR LD CA RC CK"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_CarbonCopyCloner",
     {"CCC User Agent", "Carbon Copy Cloner"},
     1,
     {{"com.bombich.ccc", "LA PR LD CA RC CK SS GC"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_WondershareTunesGo",
     {"Wondershare Helper Compact", "Wondershare TunesGo Helper"},
     4,
     {{"com.wondershare", "LA PR LD CA"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_GetBackupPro", {}, 4, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_EndNote", {}, 10, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_PDF2Office",
     {},
     8,
     {{"com.recosoft.pdf2officeProfessional", "CA RC CK"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_LogicProX", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_SmartSwitch",
     {},
     4,
     {{"com.samsung.SmartSwitch", "CA RC CK"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_Sketch",
     {},
     1,
     {{"com.bohemiancoding.sketch", "CA RC CK"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_Boom2",
     {},
     2,
     {{"com.globaldelight.Boom", "LA PR LD CA RC CK"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_1Password6",
     {},
     2,
     {{"com.agilebits.onepassword4", "LA PR LD"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_SoundForgePro", {}, 3, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_CleanMyDrive",
     {},
     0,
     {{"com.macpaw.CleanMyDrive", "LA PR LD CA RC CK"}},
     {},
     {},
     0,
     false,
     "",
     "F"},
    {"fun_AllClean_ACDSeeMacPro",
     {},
     2,
     {{"com.ACDSystems.ACDSeePro", "LA PR LD"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_qBittorrent",
     {},
     1,
     {{"org.qbittorrent", "LA PR LD"}, {"com.qbittorrent", "LA PR LD"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_FontExlorerXPro",
     {},
     2,
     {{"com.linotype.FontExplorerX", "LA PR LD CA RC CK"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_Perian", {}, 1, {{"org.perian.Perian", "LA PR LD"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_YoWindow",
     {},
     4,
     {{"com.repkasoft.yowindow", "LA PR LD CA RC CK"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_TidyUp",
     {},
     0,
     {{"com.hyperbolicsoftware.tidyUp", "LA PR LD CA RC CK SS"}},
     {},
     {},
     0,
     false,
     "",
     "F"},
    {"fun_AllClean_Spark:",
     {},
     1,
     {{"com.readdle.smartemail", "CA RC CK SS GC"}},
     {"/Applications/Spark.app"},
     {},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_YummyFTP",
     {},
     1,
     {{"com.yummysoftware.yummy-ftp", "LA PR LD"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_Yasu", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_TechToolPro",
     {},
     17,
     {{"com.micromat.techtoolpro", "S8"}, {"com.micromat.pkg.TechToolPro", "RC"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_ScanGuard", {}, 3, {{"com.jdi.ss.ScanGuard", "S8"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_MacXVideoConverterPro",
     {},
     0,
     {{"com.macxdvd.macxvdoconverter", "S8"}},
     {},
     {},
     0,
     false,
     "",
     "F"},
    {"fun_AllClean_SpamSieve",
     {},
     3,
     {{"com.c-command.SpamSieve", "S8"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_OmniGraffle",
     {},
     4,
     {{"com.omnigroup.OmniGraffle", "S8"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_SnapNDrag", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_Fantastical",
     {},
     4,
     {{"com.flexibits.fantastical", "S8"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_DiskCatalogMaker",
     {},
     0,
     {{"com.mac.fujisoft.DiskCatalogMaker", "S8"}},
     {},
     {},
     0,
     false,
     "",
     "F"},
    {"fun_AllClean_AmazonDrive:",
     {},
     4,
     {{"com.amazon.clouddrive.mac", "S8"}},
     {},
     {{{}, 5, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_HandsOff", {}, 2, {{"com.metakine.handsoff", "S8"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_SoftRAID", {}, 3, {{"com.softraid.SoftRAID", "S8"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_Dashlane",
     {"DashlanePluginService", "DashlaneXPCService", "DashlaneAutoStartHelper", "Dashlane",
      "DashlaneAgent"},
     2,
     {{"com.dashlane.Dashlane", "LA PR LD"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_TrendMicro:",
     {},
     12,
     {{"com.trendmicro", "S8"}},
     {"/Applications/TrendMicro.localized"},
     {},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_ChronoSync",
     {"ChronoSync Scheduler", "WakeToSyncToolTemplate", "ChronoSync", "CxProfilesPreferencePane",
      "GeneralPreferencePane", "HelpersPreferencePane", "SchedulerPreferencePane",
      "TemplatesPreferencePane", "ChronoAgentLocal"},
     2,
     {{"com.econtechnologies.chronosync", "S8"},
      {"com.econtechnologies.backgrounder.chronosync", "CA"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_Synergy",
     {"Synergy", "synergyc", "synergys", "syntool"},
     0,
     {{"synergy", "S8"}},
     {},
     {},
     0,
     false,
     "",
     "SF"},
    {"fun_AllClean_GeekTool",
     {"GeekTool", "GeekTool Helper"},
     0,
     {{"org.tynsoe.GeekTool", "S8"}},
     {},
     {},
     0,
     false,
     "",
     "SF"},
    {"fun_AllClean_LogitechUnifyingSoftware",
     {"Logitech Updater", "Logitech Unifying Software"},
     2,
     {{"com.Logitech", "S8"}},
     {},
     {},
     0,
     false,
     "",
     "STF"},
    {"fun_AllClean_ZipRar", {}, 3, {{"com.ZipRar.zr", "S8"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_Arcahol:", {}, 3, {{"Arcahol", "S8"}}, {}, {{{}, 2, true}}, 0, false, "", "TFR"},
    {"fun_AllClean_Paltalk", {}, 1, {{"com.paltalk.paltalk", "S8"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_TomTomHome:",
     {},
     2,
     {{"com.tomtom", "S8"}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_MovaviScreenCaptureStudio:",
     {},
     8,
     {{"com.movavi.screencapturestudio", "S8"}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_Intego:",
     {},
     11,
     {{"com.intego", "S8"}},
     {},
     {{{}, 9, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_Thunderbird",
     {},
     1,
     {{"org.mozilla.thunderbird", "S8"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_ZipCloud",
     {},
     1,
     {{"com.jdibackup.ZipCloud", "S8"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_MPlayerX", {}, 1, {{"org.niltsh.MPlayerX", "S8"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_GPGSuiteTools:",
     {},
     14,
     {{"org.gpgtools", "S8"}},
     {},
     {{{}, 12, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_GarminExpress:",
     {},
     2,
     {{"com.garmin.renu", "S8"}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_ClamXav:",
     {},
     9,
     {{"uk.co.canimaansoftware.clamxav", "S8"}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_MacScan:",
     {},
     5,
     {{"com.securemac.MacScan", "S8"}},
     {},
     {{{}, 5, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_RekordBox:",
     {},
     9,
     {{"com.pioneerdj.rekordboxdj", "S8"}, {"com.pioneer.Upmgr_rekordbox", "CA"}},
     {},
     {{{}, 7, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_TeamSpeak:",
     {},
     8,
     {{"com.teamspeak.TeamSpeak", "S8"}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_AptanaStudio:",
     {},
     4,
     {{"com.aptana.studio", "S8"}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_LittleSnitch:",
     {},
     5,
     {{"at.obdev.LittleSnitch", "S8"}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_CisdemAppCrypt:",
     {},
     2,
     {{"com.cisdem.appencrypt", "S8"}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_Yoink:", {}, 4, {{"at.EternalStorms.Yoink", "S8"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_WacomTabletUtility:", {}, 16, {}, {}, {{{}, 15, false}}, 0, false, "", "TR"},
    {"fun_AllClean_MicrosoftRemoteDesktop:", {}, 2, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_MacSpaceReviver:",
     {},
     4,
     {{"com.PCvark.Mac-Space-Reviver", "S8"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_ToastTitanium:",
     {},
     5,
     {{"com.roxio.toast.toast", "S8"}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_NetSpot:",
     {},
     1,
     {{"com.etwok.netspotwifi", "S8"}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_Citrio:",
     {},
     3,
     {{"com.catalinagroup.Citrio", "S8"}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_JustColorPicker:", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_CyberGhost:",
     {},
     7,
     {{"com.cyberghostsrl.cyberghost", "S8"}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_TableTennisProLite:", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_iBoostUp:",
     {},
     1,
     {{"com.ituneup.ituneup", "S8"}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_MEGAsync:", {}, 2, {}, {}, {{{}, 1, false}}, 0, false, "", "TR"},
    {"fun_AllClean_Pref360Control:", {}, 6, {}, {}, {{{}, 5, false}}, 0, false, "", "TR"},
    {"fun_AllClean_VPNUnlimited:",
     {},
     2,
     {{"com.simplexsolutionsinc.vpnguardMac", "S8"}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_AdwareRemovalPro:",
     {},
     4,
     {{"com.yelab.AdwareRemovalPro", "S8"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_WineBottler:",
     {},
     3,
     {{"org.kronenberg.WineBottler", "S8"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_Wine:", {}, 4, {{"org.kronenberg.Wine", "S8"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_FSecureXC:",
     {},
     12,
     {{"com.fsecure.XFENCE", "S8"}},
     {},
     {{{}, 12, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_EPSONScan:",
     {},
     5,
     {{"com.epson.scan", "S8"}},
     {},
     {{{}, 5, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_ScreenFlow:",
     {},
     1,
     {{"net.telestream.screenflow", "CO"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_Movist:", {}, 2, {{"com.movist.Movist", "S9"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_Pastebot:",
     {},
     1,
     {{"com.tapbots.Pastebot2Mac", "S9"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_SoundSource:",
     {},
     1,
     {{"com.rogueamoeba.soundsource", "S9"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_TinkerToolSystem:",
     {},
     4,
     {{"com.bresink.system", "S9"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_SyncMate:", {}, 8, {{"com.eltima.SyncMate", "S9"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_MalwareCrusher:",
     {},
     8,
     {{"com.techyutils.Malware-Crusher", "S9"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_HideMeVPN:", {}, 6, {{"me.hide.osxclient", "S9"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_Sonos:", {}, 7, {{"com.sonos.macController", "S9"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_K9WebProtection:", {}, 7, {}, {}, {{{}, 7, false}}, 0, false, "", "TR"},
    {"fun_AllClean_SophosHome:", {}, 20, {}, {}, {{{}, 22, false}}, 0, false, "", ""},
    {"fun_AllClean_Mamp:",
     {},
     8,
     {{"de.appsolute.MAMP", "S9"}},
     {},
     {{{}, 6, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_HQPlayerDesktop:", {}, 2, {}, {}, {{{}, 1, false}}, 0, false, "", "TR"},
    {"fun_AllClean_handyPrint:",
     {},
     6,
     {{"com.netputing.handyPrint", "S9"}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_ZappitiMediaCenter:",
     {},
     6,
     {{"com.archisoft.zmc4", "S9"}, {"com.archisoft.zappitiserver", "SS"}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_TheUnarchiver:", {}, 1, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_SilhouetteStudio:",
     {},
     12,
     {{"com.silhouettesoftware", "S9"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_FitbitConnect:",
     {},
     8,
     {{"com.fitbit.Galileo", "S9"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_CamTwist:", {}, 3, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_StuffItExpander:",
     {},
     3,
     {{"com.stuffit.StuffIt-Expander", "S9"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_ZeroNet:",
     {},
     1,
     {{"org.pythonmac.unspecified.ZeroNet", "S9"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_qTox:", {}, 4, {{"chat.tox.qtox", "SS"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_uTox:", {}, 2, {{"future.utox", "SS"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_EarMaster:", {}, 8, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_ServiioConsole:", {}, 7, {}, {}, {{{}, 7, false}}, 0, false, "", "TR"},
    {"fun_AllClean_Boom3D:", {}, 9, {}, {}, {{{}, 9, false}}, 0, false, "", "TR"},
    {"fun_AllClean_TeXstudio:", {}, 1, {{"texstudio", "SS"}}, {}, {}, 0, false, "", "TF"},
    {"fun_AllClean_WDDriveUtilities:", {}, 6, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_OwnCloud:",
     {},
     3,
     {{"com.owncloud", "S9"}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_Grammarly:",
     {},
     2,
     {{"com.grammarly.DesktopEditor", "S9"}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_Roblox:",
     {},
     5,
     {{"com.Roblox.Roblox", "S9"}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_RobloxStudio:", {}, 2, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_SidifyMusicConverter:",
     {},
     1,
     {{"com.sidify.spotifyconverter", "LA PR LD"}},
     {},
     {{{}, 1, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_Anki:", {}, 4, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_OBS:",
     {},
     4,
     {{"com.obsproject.obs-studio", "LA PR LD"}},
     {},
     {},
     0,
     false,
     "",
     "TF"},
    {"fun_AllClean_Keka:", {}, 4, {}, {}, {}, 0, false, "", "T"},
    {"fun_AllClean_Xmarks:",
     {},
     3,
     {{"com.xmarks.XmarksForSafari", "S9"}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_RemoRecover:",
     {},
     2,
     {{"com.mygreatcompany.pkg.RemoRecoverrwcpa", "S9"}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_EyeConnect:",
     {},
     3,
     {{"com.elgato.EyeConnect", "S9"}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_Tunnelblick:",
     {},
     1,
     {{"net.tunnelblick.tunnelblick", "S9"}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_SeagateDashboard:",
     {},
     10,
     {{"com.seagate.dashboard", "S9"}},
     {},
     {{{}, 5, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_TuneupMyMac:", {}, 6, {}, {}, {{{}, 4, false}}, 0, false, "", "TR"},
    {"fun_AllClean_OpenOffice:", {}, 2, {}, {}, {{{}, 2, false}}, 0, false, "", "TR"},
    {"fun_AllClean_FxFactory:",
     {},
     12,
     {{"com.fxfactory.FxFactory", "S9"}},
     {},
     {{{}, 12, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_DXOPhotoLab1:",
     {},
     5,
     {{"com.dxo.PhotoLab1", "S9"}},
     {},
     {{{}, 4, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_LeawoMusicRecorder:",
     {},
     5,
     {{"com.leawo.musicrecorder", "S9"}},
     {},
     {{{}, 6, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_GooglePlayMusicDesktopPlayer:",
     {},
     1,
     {{"google-play-music-desktop-player", "S9"}},
     {},
     {{{}, 2, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_CrossOver:",
     {},
     4,
     {{"com.codeweavers.CrossOver", "S9"}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_FreeDownloadManager:",
     {},
     2,
     {{"org.freedownloadmanager.fdm", "S9"}},
     {},
     {{{}, 3, false}},
     0,
     false,
     "",
     "TFR"},
    {"fun_AllClean_Transmission:",
     {},
     2,
     {{"org.m0k.transmission", "S9"}},
     {},
     {},
     0,
     false,
     "",
     ""},
    {"fun_AllClean_VyprVPN:", {}, 12, {}, {}, {{{}, 12, false}}, 0, false, "", "TR"},
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
        std::vector<std::pair<std::string_view, std::string_view>> scans;
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
                    scans.emplace_back(step.a, step.b);
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
    // 111 routines take an argument (the mode flag, or the install path for one of them);
    // 77 have steps that run in root mode only.
    int withArgument = 0, withRootSteps = 0, s8 = 0, s9 = 0;
    for (const Routine& r : kRoutines) {
        withArgument += r.takesArgument();
        bool root = false;
        for (const Step& s : r.steps) {
            root = root || s.kind == StepKind::RootShell || s.kind == StepKind::RootForce ||
                   s.kind == StepKind::RootPattern || s.kind == StepKind::OwnerHomeFolder;
            s8 += s.kind == StepKind::Scan && s.b == "S8";
            s9 += s.kind == StepKind::Scan && s.b == "S9";
        }
        withRootSteps += root;
    }
    EXPECT_EQ(withArgument, 111);
    EXPECT_EQ(withRootSteps, 77);
    EXPECT_EQ(s8, 47);
    EXPECT_EQ(s9, 30);
    EXPECT_EQ(findRoutine("fun_AllClean_MovaviScreenCaptureStudio"),
              &kRoutines[routineIndex("fun_AllClean_MovaviScreenCaptureStudio")]);
    EXPECT_NE(findRoutine("fun_AllClean_MovaviScreenCaptureStudio"),
              findRoutine("fun_AllClean_MovaviScreenCaptureStudio:"));
    EXPECT_EQ(findRoutine("fun_AllClean_Nothing"), nullptr);
}

// ---- The routines whose steps are given in full ----

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
            return "scan " + a + " " + b;
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
    steps.push_back("scan com.kaspersky.kav LA PR LD");
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
        {"fun_AllClean_TeamViewer",
         {"trash ~/Library/Application Support/TeamViewer", "scan com.teamviewer LD LA",
          "trash /Library/PrivilegedHelperTools/com.teamviewer.Helper",
          "trash /Library/Security/SecurityAgentPlugins/TeamViewerAuthPlugin.bundle",
          "trash /Library/Fonts/TeamViewer10.otf", "log TeamViewer.app Extend Deleted Files"}},
        {"fun_AllClean_MacKeeper:",
         {"stop MacKeeper Helper", "stop MacKeeper", "stop AntiTheft", "stop AntiTheftAgent",
          "stop MKAuthPlugin", "stop AntiVirus", "stop AntiVirusAgent", kMacKeeperShell,
          "trash /Applications/MacKeeper.app", "trash /Library/Application Support/MacKeeper",
          "trash ~/Library/Logs/MacKeeper.log",
          "trash ~/Library/Application Support/MacKeeper Helper",
          "trash ~/Documents/MacKeeper Backups", "scan mackeeper S8"}},
        {"fun_AllClean_KasperskyAntiVirus:", kasperskySteps()},
        {"fun_AllClean_GoProStudio:",
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
          "scan com.gopro LD LA PR",
          "scan com.GoPro RC"}},
        {"fun_AllClean_ParagonNTFS:",
         {"force /Library/Filesystems/ufsd_NTFS.fs",
          "shell killall com.paragon-software.NTFS.fsnotify.agent;"
          "killall com.paragon-software.NTFS.fsnotify.daemon",
          "trash /Library/Extensions/ufsd_NTFS.kext", "trash /Library/Filesystems/ufsd_NTFS.fs",
          "trash /Library/PreferencePanes/ParagonNTFS.prefPane",
          "trash /Library/Application Support/Paragon Updater.app",
          "trash /Library/Application Support/Paragon Updater",
          "trash /Library/Application Support/Paragon Software", "scan Paragon CA LG",
          "scan com.paragon RC LD LA PR"}},
        {"fun_AllClean_CrashPlan:",
         {"stop CrashPlan", "stop CrashPlanService", "stop CrashPlan menu bar",
          "trash /Library/Application Support/CrashPlan", "trash /Library/Logs/CrashPlan",
          "scan com.crashplan LA PR LD", "force /Library/LaunchDaemons/com.crashplan.engine.plist",
          "shell sudo chflags noschg /Applications/CrashPlan.app;"
          "sudo chflags nouchg /Applications/CrashPlan.app",
          "force /Applications/CrashPlan.app"}},
        {"fun_AllClean_NTFS3GMacFUSE:", ntfs3gSteps()},
        {"fun_AllClean_Avira:",
         {"stop AvStats",
          "stop-by-folders <install path>;/Applications/Utilities/Avira-Uninstall.app;"
          "/Applications/Utilities/Avira;/Library/Application Support/Avira;"
          "~/Library/Application Support/Avira",
          "scan com.avira.antivirus LD LA", "trash /Applications/Utilities/Avira-Uninstall.app",
          "trash /Applications/Utilities/Avira", "trash /Library/Application Support/Avira",
          "trash ~/Library/Application Support/Avira",
          "trash /Library/LaunchDaemons/com.avira.helper.watchdox.plist",
          "trash /Library/LaunchAgents/com.avira.helper.avstats.plist"}},
        {"fun_AllClean_Adguard:",
         {"stop Adguard", "trash ~/Library/Logs/Adguard",
          "user home /Library/Application Support/com.adguard.Adguard"}},
        {"fun_AllClean_AirParrot",
         {"scan AirParrotDriver.kext EX", "scan APExtFramebuffer.kext EX",
          "scan com.squirrels.AirParrot PR"}},
        {"fun_AllClean_Growl",
         {"trash ~/Library/Application Scripts/com.Growl.GrowlHelperApp",
          "scan com.growl.Growl CO VF"}},
        {"fun_AllClean_Opera", {"scan com.operasoftware SF CA"}},
        {"fun_AllClean_Transmission:",
         {"trash ~/Library/Caches/org.m0k.transmission",
          "trash ~/Library/Cookies/org.m0k.transmission.binarycookies",
          "scan org.m0k.transmission S9"}},
        {"fun_AllClean_Andy", {}},
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
    const auto other = describe("fun_AllClean_SophosHome_Other:");
    ASSERT_EQ(other.size(), 18u);
    EXPECT_EQ(other.front(),
              "shell killall SophosConfigD;killall SophosScanD;killall SophosServiceManager;"
              "killall SophosWebIntelligence;killall SophosMcsAgentD;killall SophosAutoUpdate;"
              "killall SophosAntiVirus;killall SophosSXLD;killall SophosUIServer;"
              "rm -rf /private/var/run/com.sophos.*");
    EXPECT_EQ(other[1], "trash /private/var/db/dslocal/nodes/Default/groups/_sophos.plist");
    EXPECT_EQ(other[2], "trash /private/var/db/dslocal/nodes/Default/users/_sophos.plist");
    EXPECT_EQ(other.back(), "scan com.sophos LD LA PR CA");

    const Routine* home = findRoutine("fun_AllClean_SophosHome:");
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
                case StepKind::Scan: {
                    EXPECT_FALSE(s.a.empty());
                    std::array<Scanner, 13> codes{};
                    EXPECT_GT(parseScanCodes(s.b, codes), 0u) << s.b;
                    break;
                }
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
    std::array<Scanner, 13> codes{};
    EXPECT_EQ(parseScanCodes("S8", codes), 8u);
    EXPECT_EQ(parseScanCodes("LD LA", codes), 2u);
    EXPECT_EQ(parseScanCodes("LD LD", codes), 0u);
    EXPECT_EQ(parseScanCodes("LD XX", codes), 0u);
    EXPECT_EQ(parseScanCodes("", codes), 0u);
}

}  // namespace
}  // namespace vendrel::routines
