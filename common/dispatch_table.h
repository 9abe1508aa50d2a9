// The dispatch table: which per-product routines run for a bundle, chosen by the bundle's
// file name (the install path's last component). Constant data, checked while it compiles:
// a routine name that is not in the routine table (common/routine_table.h) does not build.
//
// Entries are matched in order and the first match wins, so overlapping keys depend on the
// order: entry 17 (exact "Movavi Screen Capture Studio 3.app") comes before entry 128
// (contains "Movavi Screen Capture Studio"), and entry 106 (contains "TechTool Pro") already
// takes "TechTool Protection.prefPane". Exact keys compare under the string rule of names
// (case-insensitive, digit runs by value); "contains" keys case-insensitively.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/routine_table.h"

namespace vendrel::routines {

enum class Match : uint8_t { Exact, Contains };

struct DispatchEntry {
    std::string_view key;
    Match match = Match::Exact;
    bool selfRemoval = false;  // the product's own bundle: self-removal, no routine, no sweep
    std::array<const Routine*, 2> routines{};  // in the order they run; unused slots null
};

namespace build {

consteval DispatchEntry entry(Match match, std::string_view key, std::string_view first,
                              std::string_view second) {
    if (key.empty())
        invalidRoutineRow("empty dispatch key");
    DispatchEntry e{key, match, false, {}};
    e.routines[0] = &kRoutines[routineIndex(first)];
    if (!second.empty())
        e.routines[1] = &kRoutines[routineIndex(second)];
    return e;
}
consteval DispatchEntry exact(std::string_view key, std::string_view first,
                              std::string_view second = {}) {
    return entry(Match::Exact, key, first, second);
}
consteval DispatchEntry contains(std::string_view key, std::string_view first,
                                 std::string_view second = {}) {
    return entry(Match::Contains, key, first, second);
}
consteval DispatchEntry selfRemoval(std::string_view key) {
    return {key, Match::Exact, true, {}};
}

}  // namespace build

inline constexpr DispatchEntry kDispatch[] = {
    // clang-format off
    build::selfRemoval("Vendrel.app"),  // 1
    build::exact("TeamViewer.app", "TeamViewer"),  // 2
    build::exact("Android File Transfer.app", "AndroidFileTransfer"),  // 3
    build::exact("Avira.app", "Avira"),  // 4
    build::exact("OsiriX MD.app", "OsiriX"),  // 5
    build::exact("OsiriX Lite.app", "OsiriX"),  // 6
    build::exact("OsiriX.app", "OsiriX"),  // 7
    build::exact("GlimmerBlocker.prefPane", "GlimmerBlocker"),  // 8
    build::exact("XtraFinder.app", "XtraFinder"),  // 9
    build::exact("IDrive.app", "IDrive"),  // 10
    build::exact("MacKeeper.app", "MacKeeper"),  // 11
    build::exact("BlueStacks.app", "BlueStacks"),  // 12
    build::exact("Hotspot Shield.app", "HotspotShield"),  // 13
    build::exact("Tuxera NTFS.prefPane", "TuxeraNTFS"),  // 14
    build::exact("Tuxera Disk Manager.app", "TuxeraNTFS"),  // 15
    build::exact("GoPro Studio.app", "GoProStudio"),  // 16
    build::exact("Movavi Screen Capture Studio 3.app", "MovaviScreenCaptureStudio3"),  // 17
    build::exact("ParagonNTFS.prefPane", "ParagonNTFS"),  // 18
    build::exact("ManyCam.app", "ManyCam"),  // 19
    build::exact("VMware Fusion.app", "VmwareFusion"),  // 20
    build::exact("Xcode.app", "Xcode"),  // 21
    build::contains("CleanMyMac", "CleanMyMac"),  // 22
    build::exact("Malwarebytes Anti-Malware.app", "Malwarebytes"),  // 23
    build::exact("MacFUSE.prefPane", "NTFS3GMacFUSE", "OSXFUSE"),  // 24
    build::exact("NTFS-3G.prefPane", "NTFS3GMacFUSE", "OSXFUSE"),  // 25
    build::exact("Synology Cloud Station.app", "SynologyCloudStation"),  // 26
    build::exact("BitTorrent.app", "BitTorrent"),  // 27
    build::exact("AVG AntiVirus.app", "AVGAntiVirus"),  // 28
    build::exact("MegaBackup.app", "MegaBackup"),  // 29
    build::exact("Garmin BaseCamp.app", "GarminBaseCamp"),  // 30
    build::exact("Garmin MapInstall.app", "GarminBaseCamp"),  // 31
    build::exact("Garmin MapManager.app", "GarminBaseCamp"),  // 32
    build::contains("AirParrot", "AirParrot"),  // 33
    build::exact("Box Sync.app", "BoxSync"),  // 34
    build::exact("Disk Drill.app", "DiskDrill"),  // 35
    build::exact("OSXFUSE.prefPane", "OSXFUSE"),  // 36
    build::exact("PDFelement.app", "PDFelement"),  // 37
    build::exact("Youtube Downloader.app", "YoutubeDownloader"),  // 38
    build::exact("WhatsApp.app", "WhatsApp"),  // 39
    build::exact("XQuartz.app", "XQuartz"),  // 40
    build::exact("Weather Live.app", "WeatherLive"),  // 41
    build::exact("ESET Cyber Security Pro.app", "ESETCyberSecurityPro"),  // 42
    build::contains("Paragon NTFS for Mac OS X", "ParagonNTFS"),  // 43
    build::exact("Google Chrome.app", "GoogleChrome"),  // 44
    build::exact("Evernote.app", "Evernote"),  // 45
    build::exact("Growl.app", "Growl"),  // 46
    build::exact("Opera.app", "Opera"),  // 47
    build::exact("COMODO Antivirus.app", "COMODOAntivirus"),  // 48
    build::exact("GoToMeeting.app", "GoToMeeting"),  // 49
    build::exact("Citrix Receiver.app", "CitrixReceiver"),  // 50
    build::exact("Andy.app", "Andy"),  // 51
    build::exact("VirtualBox.app", "VirtualBox"),  // 52
    build::exact("AVG LinkScanner.app", "AVGLinkScanner"),  // 53
    build::exact("LinkScannerSettings.prefPane", "AVGLinkScanner"),  // 54
    build::exact("Razer Synapse.app", "RazerSynapse"),  // 55
    build::exact("Kaspersky Anti-Virus For Mac.app", "KasperskyAntiVirus"),  // 56
    build::exact("Skype.app", "Skype"),  // 57
    build::contains("MacBooster", "MacBooster"),  // 58
    build::exact("Audacity.app", "Audacity"),  // 59
    build::exact("Serato DJ.app", "SeratoDj"),  // 60
    build::contains("Camtasia", "Camtasia"),  // 61
    build::exact("Adguard.app", "Adguard"),  // 62
    build::exact("Snapz Pro X.app", "SnapzProX"),  // 63
    build::exact("Sophos Home.app", "SophosHome_Other", "SophosHome"),  // 64
    build::exact("VueScan.app", "VueScan"),  // 65
    build::exact("GoPro.app", "GoProStudio"),  // 66
    build::exact("Parallels Desktop.app", "ParallelsDesktop"),  // 67
    build::exact("MediaFire Desktop.app", "MediaFireDesktop"),  // 68
    build::exact("Wondershare Video Converter Ultimate.app", "WondershareVideoConverterUltimate"),  // 69
    build::exact("Kodi.app", "Kodi"),  // 70
    build::exact("Cleaner.app", "Cleaner"),  // 71
    build::exact("NoSleep.app", "NoSleep"),  // 72
    build::exact("NoSleep.prefPane", "NoSleep"),  // 73
    build::exact("Audirvana Plus.app", "Audirvana"),  // 74
    build::exact("MacX YouTube Downloader.app", "MacXYouTubeDownloader"),  // 75
    build::exact("5KPlayer.app", "5KPlayer"),  // 76
    build::exact("VLC.app", "VLCMediaPlayer"),  // 77
    build::exact("SmoothMouse.prefPane", "SmoothMouse"),  // 78
    build::exact("SketchUp.app", "SketchUp"),  // 79
    build::exact("OmniDiskSweeper.app", "OmniDiskSweeper"),  // 80
    build::exact("iZip.app", "iZip"),  // 81
    build::exact("CrashPlan.app", "CrashPlan"),  // 82
    build::exact("SwitchResX.prefPane", "SwitchResX"),  // 83
    build::exact("Folx.app", "Folx"),  // 84
    build::exact("Wondershare TunesGo.app", "WondershareTunesGo"),  // 85
    build::exact("Carbon Copy Cloner.app", "CarbonCopyCloner"),  // 86
    build::contains("Get Backup", "GetBackupPro"),  // 87
    build::contains("EndNote X", "EndNote"),  // 88
    build::contains("PDF2Office", "PDF2Office"),  // 89
    build::exact("Logic Pro X.app", "LogicProX"),  // 90
    build::exact("SmartSwitch.app", "SmartSwitch"),  // 91
    build::exact("Sketch.app", "Sketch"),  // 92
    build::exact("Boom 2.app", "Boom2"),  // 93
    build::exact("1Password 6.app", "1Password6"),  // 94
    build::exact("Sound Forge Pro.app", "SoundForgePro"),  // 95
    build::contains("CleanMyDrive", "CleanMyDrive"),  // 96
    build::exact("ACDSee Mac Pro.app", "ACDSeeMacPro"),  // 97
    build::exact("qbittorrent.app", "qBittorrent"),  // 98
    build::exact("FontExplorer X Pro.app", "FontExlorerXPro"),  // 99
    build::exact("Perian.prefPane", "Perian"),  // 100
    build::exact("YoWindow.app", "YoWindow"),  // 101
    build::exact("Tidy Up.app", "TidyUp"),  // 102
    build::exact("Spark.app", "Spark"),  // 103
    build::exact("Yummy FTP.app", "YummyFTP"),  // 104
    build::exact("Yasu for Mac.app", "Yasu"),  // 105
    build::contains("TechTool Pro", "TechToolPro"),  // 106
    build::exact("TechTool Protection.prefPane", "TechToolPro"),  // 107
    build::exact("ScanGuard.app", "ScanGuard"),  // 108
    build::exact("MacX Video Converter Pro.app", "MacXVideoConverterPro"),  // 109
    build::exact("SpamSieve.app", "SpamSieve"),  // 110
    build::exact("OmniGraffle.app", "OmniGraffle"),  // 111
    build::exact("SnapNDrag.app", "SnapNDrag"),  // 112
    build::contains("Fantastical", "Fantastical"),  // 113
    build::exact("DiskCatalogMaker.app", "DiskCatalogMaker"),  // 114
    build::exact("Amazon Drive.app", "AmazonDrive"),  // 115
    build::exact("Hands Off!.app", "HandsOff"),  // 116
    build::contains("SoftRAID", "SoftRAID"),  // 117
    build::exact("Dashlane.app", "Dashlane"),  // 118
    build::exact("iTIS.app", "TrendMicro"),  // 119
    build::exact("ChronoSync.app", "ChronoSync"),  // 120
    build::exact("Synergy.app", "Synergy"),  // 121
    build::exact("GeekTool.app", "GeekTool"),  // 122
    build::exact("Logitech Unifying Software.app", "LogitechUnifyingSoftware"),  // 123
    build::exact("ZipRar.app", "ZipRar"),  // 124
    build::exact("Uninstall Arcahol.app", "Arcahol"),  // 125
    build::exact("Paltalk.app", "Paltalk"),  // 126
    build::exact("TomTom HOME.app", "TomTomHome"),  // 127
    build::contains("Movavi Screen Capture Studio", "MovaviScreenCaptureStudio"),  // 128
    build::exact("Intego", "Intego"),  // 129
    build::exact("Thunderbird.app", "Thunderbird"),  // 130
    build::exact("ZipCloud.app", "ZipCloud"),  // 131
    build::exact("MPlayerX.app", "MPlayerX"),  // 132
    build::exact("GPGPreferences.prefPane", "GPGSuiteTools"),  // 133
    build::exact("GPG Keychain.app", "GPGSuiteTools"),  // 134
    build::exact("Garmin Express.app", "GarminExpress"),  // 135
    build::exact("ClamXav.app", "ClamXav"),  // 136
    build::exact("MacScan.app", "MacScan"),  // 137
    build::exact("rekordbox.app", "RekordBox"),  // 138
    build::contains("TeamSpeak", "TeamSpeak"),  // 139
    build::contains("AptanaStudio", "AptanaStudio"),  // 140
    build::exact("Little Snitch Configuration.app", "LittleSnitch"),  // 141
    build::exact("Cisdem AppCrypt.app", "CisdemAppCrypt"),  // 142
    build::exact("Yoink.app", "Yoink"),  // 143
    build::contains("Wacom Tablet", "WacomTabletUtility"),  // 144
    build::exact("WacomTablet.prefpane", "WacomTabletUtility"),  // 145
    build::exact("Microsoft Remote Desktop.app", "MicrosoftRemoteDesktop"),  // 146
    build::exact("Mac Space Reviver.app", "MacSpaceReviver"),  // 147
    build::exact("Toast Titanium.app", "ToastTitanium"),  // 148
    build::exact("NetSpot.app", "NetSpot"),  // 149
    build::exact("Citrio.app", "Citrio"),  // 150
    build::exact("Just Color Picker.app", "JustColorPicker"),  // 151
    build::contains("CyberGhost", "CyberGhost"),  // 152
    build::contains("Table Tennis Pro", "TableTennisProLite"),  // 153
    build::exact("iBoostUp.app", "iBoostUp"),  // 154
    build::exact("MEGAsync.app", "MEGAsync"),  // 155
    build::exact("Pref360Control.prefPane", "Pref360Control"),  // 156
    build::exact("VPN Unlimited.app", "VPNUnlimited"),  // 157
    build::exact("Adware Removal Pro.app", "AdwareRemovalPro"),  // 158
    build::exact("WineBottler.app", "WineBottler"),  // 159
    build::exact("Wine.app", "Wine"),  // 160
    build::exact("F-Secure XFENCE Configuration.app", "FSecureXC"),  // 161
    build::exact("EPSON Scan.app", "EPSONScan"),  // 162
    build::exact("ScreenFlow.app", "ScreenFlow"),  // 163
    build::exact("Movist.app", "Movist"),  // 164
    build::exact("Pastebot.app", "Pastebot"),  // 165
    build::exact("SoundSource.app", "SoundSource"),  // 166
    build::exact("TinkerTool System.app", "TinkerToolSystem"),  // 167
    build::exact("SyncMate.app", "SyncMate"),  // 168
    build::exact("Malware Crusher.app", "MalwareCrusher"),  // 169
    build::exact("hide.me VPN.app", "HideMeVPN"),  // 170
    build::exact("Sonos.app", "Sonos"),  // 171
    build::exact("Configure K9 Web Protection.app", "K9WebProtection"),  // 172
    build::exact("K9PrefPane.prefPane", "K9WebProtection"),  // 173
    build::exact("MAMP.app", "Mamp"),  // 174
    build::exact("MAMP PRO.app", "Mamp"),  // 175
    build::exact("HQPlayerDesktop.app", "HQPlayerDesktop"),  // 176
    build::exact("handyPrint.prefPane", "handyPrint"),  // 177
    build::exact("handyPrint.app", "handyPrint"),  // 178
    build::exact("Zappiti Media Center.app", "ZappitiMediaCenter"),  // 179
    build::exact("Zappiti Server.app", "ZappitiMediaCenter"),  // 180
    build::exact("The Unarchiver.app", "TheUnarchiver"),  // 181
    build::exact("Silhouette Studio.app", "SilhouetteStudio"),  // 182
    build::exact("Fitbit Connect.app", "FitbitConnect"),  // 183
    build::exact("CamTwist.app", "CamTwist"),  // 184
    build::exact("StuffIt Expander.app", "StuffItExpander"),  // 185
    build::exact("Malwarebytes.app", "Malwarebytes"),  // 186
    build::exact("ZeroNet.app", "ZeroNet"),  // 187
    build::exact("qTox.app", "qTox"),  // 188
    build::exact("uTox.app", "uTox"),  // 189
    build::contains("EarMaster", "EarMaster"),  // 190
    build::exact("Serviio-Console.app", "ServiioConsole"),  // 191
    build::exact("Boom 3D.app", "Boom3D"),  // 192
    build::exact("texstudio.app", "TeXstudio"),  // 193
    build::exact("WD Drive Utilities.app", "WDDriveUtilities"),  // 194
    build::exact("owncloud.app", "OwnCloud"),  // 195
    build::exact("Grammarly.app", "Grammarly"),  // 196
    build::exact("Roblox.app", "Roblox"),  // 197
    build::exact("RobloxStudio.app", "RobloxStudio"),  // 198
    build::exact("Sidify Music Converter.app", "SidifyMusicConverter"),  // 199
    build::exact("Anki.app", "Anki"),  // 200
    build::exact("OBS.app", "OBS"),  // 201
    build::exact("SyphonInject.app", "OBS"),  // 202
    build::exact("Keka.app", "Keka"),  // 203
    build::exact("Xmarks for Safari.app", "Xmarks"),  // 204
    build::exact("Xmarks.prefPane", "Xmarks"),  // 205
    build::exact("Remo Recover.app", "RemoRecover"),  // 206
    build::exact("EyeConnect.prefPane", "EyeConnect"),  // 207
    build::exact("Tunnelblick.app", "Tunnelblick"),  // 208
    build::exact("Seagate Dashboard.app", "SeagateDashboard"),  // 209
    build::exact("DashboardPreferences.prefPane", "SeagateDashboard"),  // 210
    build::exact("TuneupMyMac.app", "TuneupMyMac"),  // 211
    build::exact("OpenOffice.app", "OpenOffice"),  // 212
    build::exact("FxFactory.app", "FxFactory"),  // 213
    build::exact("DXOPhotoLab1.app", "DXOPhotoLab1"),  // 214
    build::exact("LeawoMusicRecorder.app", "LeawoMusicRecorder"),  // 215
    build::exact("Google Play Music Desktop Player.app", "GooglePlayMusicDesktopPlayer"),  // 216
    build::exact("CrossOver.app", "CrossOver"),  // 217
    build::exact("Free Download Manager.app", "FreeDownloadManager"),  // 218
    build::exact("Transmission.app", "Transmission"),  // 219
    build::exact("VyprVPN.app", "VyprVPN"),  // 220
    // clang-format on
};
static_assert(std::size(kDispatch) == 220);

// The first entry that matches the bundle's file name, or null.
const DispatchEntry* findDispatchEntry(std::string_view bundleFileName);
// "entry 17 \"Movavi Screen Capture Studio 3.app\"", with " (contains)" for containment keys.
std::string describe(const DispatchEntry& entry);

}  // namespace vendrel::routines
