// Placeholder bodies: every routine the dispatch table names exists and does nothing until
// the routine table replaces this file.
#include "common/routines.h"

namespace vendrel {

void lib_funs_AppExtendDelete_Routines::fun_AllClean_TeamViewer() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_AndroidFileTransfer() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Avira(const std::string& ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_OsiriX() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_GlimmerBlocker() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_XtraFinder() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_IDrive() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MacKeeper(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_BlueStacks() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_HotspotShield() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_TuxeraNTFS() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_GoProStudio(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MovaviScreenCaptureStudio() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ParagonNTFS(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ManyCam() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_VmwareFusion() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Xcode() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_CleanMyMac() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Malwarebytes(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_NTFS3GMacFUSE(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SynologyCloudStation(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_AVGAntiVirus(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_BitTorrent() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MegaBackup() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_GarminBaseCamp() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_AirParrot() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_BoxSync() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_DiskDrill(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_OSXFUSE(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_PDFelement() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_YoutubeDownloader() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_WhatsApp(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_XQuartz(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_WeatherLive(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ESETCyberSecurityPro(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_GoogleChrome() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Evernote() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Growl() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Opera() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_COMODOAntivirus() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_GoToMeeting(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_CitrixReceiver() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Andy() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_VirtualBox() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_AVGLinkScanner(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_RazerSynapse() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_KasperskyAntiVirus(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Skype(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MacBooster(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Audacity() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SeratoDj() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Camtasia() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Adguard(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SnapzProX(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SophosHome_Other(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_VueScan() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ParallelsDesktop(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MediaFireDesktop() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_WondershareVideoConverterUltimate() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Kodi() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Cleaner(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_NoSleep() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Audirvana() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MacXYouTubeDownloader() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_5KPlayer() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_VLCMediaPlayer() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SmoothMouse() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SketchUp() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_OmniDiskSweeper() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_iZip() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_CrashPlan(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SwitchResX() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Folx() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_CarbonCopyCloner() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_WondershareTunesGo() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_GetBackupPro() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_EndNote() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_PDF2Office() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_LogicProX() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SmartSwitch() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Sketch() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Boom2() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_1Password6() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SoundForgePro() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_CleanMyDrive() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ACDSeeMacPro() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_qBittorrent() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_FontExlorerXPro() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Perian() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_YoWindow() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_TidyUp() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Spark(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_YummyFTP() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Yasu() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_TechToolPro() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ScanGuard() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MacXVideoConverterPro() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SpamSieve() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_OmniGraffle() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SnapNDrag() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Fantastical() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_DiskCatalogMaker() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_AmazonDrive(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_HandsOff() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SoftRAID() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Dashlane() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_TrendMicro(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ChronoSync() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Synergy() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_GeekTool() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_LogitechUnifyingSoftware() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ZipRar() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Arcahol(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Paltalk() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_TomTomHome(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MovaviScreenCaptureStudio(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Intego(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Thunderbird() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ZipCloud() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MPlayerX() {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_GPGSuiteTools(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_GarminExpress(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ClamXav(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MacScan(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_RekordBox(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_TeamSpeak(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_AptanaStudio(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_LittleSnitch(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_CisdemAppCrypt(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Yoink(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_WacomTabletUtility(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MicrosoftRemoteDesktop(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MacSpaceReviver(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ToastTitanium(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_NetSpot(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Citrio(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_JustColorPicker(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_CyberGhost(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_TableTennisProLite(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_iBoostUp(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MEGAsync(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Pref360Control(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_VPNUnlimited(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_AdwareRemovalPro(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_WineBottler(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Wine(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_FSecureXC(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_EPSONScan(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ScreenFlow(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Movist(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Pastebot(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SoundSource(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_TinkerToolSystem(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SyncMate(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_MalwareCrusher(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_HideMeVPN(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Sonos(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_K9WebProtection(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SophosHome(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Mamp(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_HQPlayerDesktop(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_handyPrint(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ZappitiMediaCenter(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_TheUnarchiver(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SilhouetteStudio(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_FitbitConnect(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_CamTwist(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_StuffItExpander(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ZeroNet(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_qTox(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_uTox(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_EarMaster(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_ServiioConsole(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Boom3D(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_TeXstudio(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_WDDriveUtilities(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_OwnCloud(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Grammarly(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Roblox(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_RobloxStudio(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SidifyMusicConverter(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Anki(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_OBS(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Keka(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Xmarks(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_RemoRecover(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_EyeConnect(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Tunnelblick(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_SeagateDashboard(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_TuneupMyMac(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_OpenOffice(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_FxFactory(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_DXOPhotoLab1(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_LeawoMusicRecorder(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_GooglePlayMusicDesktopPlayer(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_CrossOver(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_FreeDownloadManager(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_Transmission(bool ) {}
void lib_funs_AppExtendDelete_Routines::fun_AllClean_VyprVPN(bool ) {}

}  // namespace vendrel
