// The entry points of the per-product cleanup routines. Each runs its row of the routine
// table; the name given to routineIndex is checked against the table when this file is
// compiled. Routines without an argument have no root-only steps (the table guarantees it),
// so they run as in user mode.
#include "common/routines.h"
#include "common/routine_interpreter.h"

namespace vendrel {

using routines::kRoutines;
using routines::routineIndex;
using routines::run;
using R = lib_funs_AppExtendDelete_Routines;

void R::fun_AllClean_TeamViewer() {
    run(kRoutines[routineIndex("fun_AllClean_TeamViewer")], true);
}
void R::fun_AllClean_AndroidFileTransfer() {
    run(kRoutines[routineIndex("fun_AllClean_AndroidFileTransfer")], true);
}
void R::fun_AllClean_Avira(const std::string& Str_InstallPath) {
    run(kRoutines[routineIndex("fun_AllClean_Avira:")], true, Str_InstallPath);
}
void R::fun_AllClean_OsiriX() {
    run(kRoutines[routineIndex("fun_AllClean_OsiriX")], true);
}
void R::fun_AllClean_GlimmerBlocker() {
    run(kRoutines[routineIndex("fun_AllClean_GlimmerBlocker")], true);
}
void R::fun_AllClean_XtraFinder() {
    run(kRoutines[routineIndex("fun_AllClean_XtraFinder")], true);
}
void R::fun_AllClean_IDrive() {
    run(kRoutines[routineIndex("fun_AllClean_IDrive")], true);
}
void R::fun_AllClean_MacKeeper(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_MacKeeper:")], bool_IsRuningRing3);
}
void R::fun_AllClean_BlueStacks() {
    run(kRoutines[routineIndex("fun_AllClean_BlueStacks")], true);
}
void R::fun_AllClean_HotspotShield() {
    run(kRoutines[routineIndex("fun_AllClean_HotspotShield")], true);
}
void R::fun_AllClean_TuxeraNTFS() {
    run(kRoutines[routineIndex("fun_AllClean_TuxeraNTFS")], true);
}
void R::fun_AllClean_GoProStudio(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_GoProStudio:")], bool_IsRuningRing3);
}
void R::fun_AllClean_MovaviScreenCaptureStudio() {
    run(kRoutines[routineIndex("fun_AllClean_MovaviScreenCaptureStudio")], true);
}
void R::fun_AllClean_ParagonNTFS(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_ParagonNTFS:")], bool_IsRuningRing3);
}
void R::fun_AllClean_ManyCam() {
    run(kRoutines[routineIndex("fun_AllClean_ManyCam")], true);
}
void R::fun_AllClean_VmwareFusion() {
    run(kRoutines[routineIndex("fun_AllClean_VmwareFusion")], true);
}
void R::fun_AllClean_Xcode() {
    run(kRoutines[routineIndex("fun_AllClean_Xcode")], true);
}
void R::fun_AllClean_CleanMyMac() {
    run(kRoutines[routineIndex("fun_AllClean_CleanMyMac")], true);
}
void R::fun_AllClean_Malwarebytes(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Malwarebytes:")], bool_IsRuningRing3);
}
void R::fun_AllClean_NTFS3GMacFUSE(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_NTFS3GMacFUSE:")], bool_IsRuningRing3);
}
void R::fun_AllClean_SynologyCloudStation(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_SynologyCloudStation:")], bool_IsRuningRing3);
}
void R::fun_AllClean_AVGAntiVirus(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_AVGAntiVirus:")], bool_IsRuningRing3);
}
void R::fun_AllClean_BitTorrent() {
    run(kRoutines[routineIndex("fun_AllClean_BitTorrent")], true);
}
void R::fun_AllClean_MegaBackup() {
    run(kRoutines[routineIndex("fun_AllClean_MegaBackup")], true);
}
void R::fun_AllClean_GarminBaseCamp() {
    run(kRoutines[routineIndex("fun_AllClean_GarminBaseCamp")], true);
}
void R::fun_AllClean_AirParrot() {
    run(kRoutines[routineIndex("fun_AllClean_AirParrot")], true);
}
void R::fun_AllClean_BoxSync() {
    run(kRoutines[routineIndex("fun_AllClean_BoxSync")], true);
}
void R::fun_AllClean_DiskDrill(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_DiskDrill:")], bool_IsRuningRing3);
}
void R::fun_AllClean_OSXFUSE(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_OSXFUSE:")], bool_IsRuningRing3);
}
void R::fun_AllClean_PDFelement() {
    run(kRoutines[routineIndex("fun_AllClean_PDFelement")], true);
}
void R::fun_AllClean_YoutubeDownloader() {
    run(kRoutines[routineIndex("fun_AllClean_YoutubeDownloader")], true);
}
void R::fun_AllClean_WhatsApp(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_WhatsApp:")], bool_IsRuningRing3);
}
void R::fun_AllClean_XQuartz(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_XQuartz:")], bool_IsRuningRing3);
}
void R::fun_AllClean_WeatherLive(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_WeatherLive:")], bool_IsRuningRing3);
}
void R::fun_AllClean_ESETCyberSecurityPro(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_ESETCyberSecurityPro:")], bool_IsRuningRing3);
}
void R::fun_AllClean_GoogleChrome() {
    run(kRoutines[routineIndex("fun_AllClean_GoogleChrome")], true);
}
void R::fun_AllClean_Evernote() {
    run(kRoutines[routineIndex("fun_AllClean_Evernote")], true);
}
void R::fun_AllClean_Growl() {
    run(kRoutines[routineIndex("fun_AllClean_Growl")], true);
}
void R::fun_AllClean_Opera() {
    run(kRoutines[routineIndex("fun_AllClean_Opera")], true);
}
void R::fun_AllClean_COMODOAntivirus() {
    run(kRoutines[routineIndex("fun_AllClean_COMODOAntivirus")], true);
}
void R::fun_AllClean_GoToMeeting(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_GoToMeeting:")], bool_IsRuningRing3);
}
void R::fun_AllClean_CitrixReceiver() {
    run(kRoutines[routineIndex("fun_AllClean_CitrixReceiver")], true);
}
void R::fun_AllClean_Andy() {
    run(kRoutines[routineIndex("fun_AllClean_Andy")], true);
}
void R::fun_AllClean_VirtualBox() {
    run(kRoutines[routineIndex("fun_AllClean_VirtualBox")], true);
}
void R::fun_AllClean_AVGLinkScanner(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_AVGLinkScanner:")], bool_IsRuningRing3);
}
void R::fun_AllClean_RazerSynapse() {
    run(kRoutines[routineIndex("fun_AllClean_RazerSynapse")], true);
}
void R::fun_AllClean_KasperskyAntiVirus(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_KasperskyAntiVirus:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Skype(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Skype:")], bool_IsRuningRing3);
}
void R::fun_AllClean_MacBooster(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_MacBooster:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Audacity() {
    run(kRoutines[routineIndex("fun_AllClean_Audacity")], true);
}
void R::fun_AllClean_SeratoDj() {
    run(kRoutines[routineIndex("fun_AllClean_SeratoDj")], true);
}
void R::fun_AllClean_Camtasia() {
    run(kRoutines[routineIndex("fun_AllClean_Camtasia")], true);
}
void R::fun_AllClean_Adguard(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Adguard:")], bool_IsRuningRing3);
}
void R::fun_AllClean_SnapzProX(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_SnapzProX:")], bool_IsRuningRing3);
}
void R::fun_AllClean_SophosHome_Other(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_SophosHome_Other:")], bool_IsRuningRing3);
}
void R::fun_AllClean_VueScan() {
    run(kRoutines[routineIndex("fun_AllClean_VueScan")], true);
}
void R::fun_AllClean_ParallelsDesktop(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_ParallelsDesktop:")], bool_IsRuningRing3);
}
void R::fun_AllClean_MediaFireDesktop() {
    run(kRoutines[routineIndex("fun_AllClean_MediaFireDesktop")], true);
}
void R::fun_AllClean_WondershareVideoConverterUltimate() {
    run(kRoutines[routineIndex("fun_AllClean_WondershareVideoConverterUltimate")], true);
}
void R::fun_AllClean_Kodi() {
    run(kRoutines[routineIndex("fun_AllClean_Kodi")], true);
}
void R::fun_AllClean_Cleaner(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Cleaner:")], bool_IsRuningRing3);
}
void R::fun_AllClean_NoSleep() {
    run(kRoutines[routineIndex("fun_AllClean_NoSleep")], true);
}
void R::fun_AllClean_Audirvana() {
    run(kRoutines[routineIndex("fun_AllClean_Audirvana")], true);
}
void R::fun_AllClean_MacXYouTubeDownloader() {
    run(kRoutines[routineIndex("fun_AllClean_MacXYouTubeDownloader")], true);
}
void R::fun_AllClean_5KPlayer() {
    run(kRoutines[routineIndex("fun_AllClean_5KPlayer")], true);
}
void R::fun_AllClean_VLCMediaPlayer() {
    run(kRoutines[routineIndex("fun_AllClean_VLCMediaPlayer")], true);
}
void R::fun_AllClean_SmoothMouse() {
    run(kRoutines[routineIndex("fun_AllClean_SmoothMouse")], true);
}
void R::fun_AllClean_SketchUp() {
    run(kRoutines[routineIndex("fun_AllClean_SketchUp")], true);
}
void R::fun_AllClean_OmniDiskSweeper() {
    run(kRoutines[routineIndex("fun_AllClean_OmniDiskSweeper")], true);
}
void R::fun_AllClean_iZip() {
    run(kRoutines[routineIndex("fun_AllClean_iZip")], true);
}
void R::fun_AllClean_CrashPlan(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_CrashPlan:")], bool_IsRuningRing3);
}
void R::fun_AllClean_SwitchResX() {
    run(kRoutines[routineIndex("fun_AllClean_SwitchResX")], true);
}
void R::fun_AllClean_Folx() {
    run(kRoutines[routineIndex("fun_AllClean_Folx")], true);
}
void R::fun_AllClean_CarbonCopyCloner() {
    run(kRoutines[routineIndex("fun_AllClean_CarbonCopyCloner")], true);
}
void R::fun_AllClean_WondershareTunesGo() {
    run(kRoutines[routineIndex("fun_AllClean_WondershareTunesGo")], true);
}
void R::fun_AllClean_GetBackupPro() {
    run(kRoutines[routineIndex("fun_AllClean_GetBackupPro")], true);
}
void R::fun_AllClean_EndNote() {
    run(kRoutines[routineIndex("fun_AllClean_EndNote")], true);
}
void R::fun_AllClean_PDF2Office() {
    run(kRoutines[routineIndex("fun_AllClean_PDF2Office")], true);
}
void R::fun_AllClean_LogicProX() {
    run(kRoutines[routineIndex("fun_AllClean_LogicProX")], true);
}
void R::fun_AllClean_SmartSwitch() {
    run(kRoutines[routineIndex("fun_AllClean_SmartSwitch")], true);
}
void R::fun_AllClean_Sketch() {
    run(kRoutines[routineIndex("fun_AllClean_Sketch")], true);
}
void R::fun_AllClean_Boom2() {
    run(kRoutines[routineIndex("fun_AllClean_Boom2")], true);
}
void R::fun_AllClean_1Password6() {
    run(kRoutines[routineIndex("fun_AllClean_1Password6")], true);
}
void R::fun_AllClean_SoundForgePro() {
    run(kRoutines[routineIndex("fun_AllClean_SoundForgePro")], true);
}
void R::fun_AllClean_CleanMyDrive() {
    run(kRoutines[routineIndex("fun_AllClean_CleanMyDrive")], true);
}
void R::fun_AllClean_ACDSeeMacPro() {
    run(kRoutines[routineIndex("fun_AllClean_ACDSeeMacPro")], true);
}
void R::fun_AllClean_qBittorrent() {
    run(kRoutines[routineIndex("fun_AllClean_qBittorrent")], true);
}
void R::fun_AllClean_FontExlorerXPro() {
    run(kRoutines[routineIndex("fun_AllClean_FontExlorerXPro")], true);
}
void R::fun_AllClean_Perian() {
    run(kRoutines[routineIndex("fun_AllClean_Perian")], true);
}
void R::fun_AllClean_YoWindow() {
    run(kRoutines[routineIndex("fun_AllClean_YoWindow")], true);
}
void R::fun_AllClean_TidyUp() {
    run(kRoutines[routineIndex("fun_AllClean_TidyUp")], true);
}
void R::fun_AllClean_Spark(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Spark:")], bool_IsRuningRing3);
}
void R::fun_AllClean_YummyFTP() {
    run(kRoutines[routineIndex("fun_AllClean_YummyFTP")], true);
}
void R::fun_AllClean_Yasu() {
    run(kRoutines[routineIndex("fun_AllClean_Yasu")], true);
}
void R::fun_AllClean_TechToolPro() {
    run(kRoutines[routineIndex("fun_AllClean_TechToolPro")], true);
}
void R::fun_AllClean_ScanGuard() {
    run(kRoutines[routineIndex("fun_AllClean_ScanGuard")], true);
}
void R::fun_AllClean_MacXVideoConverterPro() {
    run(kRoutines[routineIndex("fun_AllClean_MacXVideoConverterPro")], true);
}
void R::fun_AllClean_SpamSieve() {
    run(kRoutines[routineIndex("fun_AllClean_SpamSieve")], true);
}
void R::fun_AllClean_OmniGraffle() {
    run(kRoutines[routineIndex("fun_AllClean_OmniGraffle")], true);
}
void R::fun_AllClean_SnapNDrag() {
    run(kRoutines[routineIndex("fun_AllClean_SnapNDrag")], true);
}
void R::fun_AllClean_Fantastical() {
    run(kRoutines[routineIndex("fun_AllClean_Fantastical")], true);
}
void R::fun_AllClean_DiskCatalogMaker() {
    run(kRoutines[routineIndex("fun_AllClean_DiskCatalogMaker")], true);
}
void R::fun_AllClean_AmazonDrive(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_AmazonDrive:")], bool_IsRuningRing3);
}
void R::fun_AllClean_HandsOff() {
    run(kRoutines[routineIndex("fun_AllClean_HandsOff")], true);
}
void R::fun_AllClean_SoftRAID() {
    run(kRoutines[routineIndex("fun_AllClean_SoftRAID")], true);
}
void R::fun_AllClean_Dashlane() {
    run(kRoutines[routineIndex("fun_AllClean_Dashlane")], true);
}
void R::fun_AllClean_TrendMicro(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_TrendMicro:")], bool_IsRuningRing3);
}
void R::fun_AllClean_ChronoSync() {
    run(kRoutines[routineIndex("fun_AllClean_ChronoSync")], true);
}
void R::fun_AllClean_Synergy() {
    run(kRoutines[routineIndex("fun_AllClean_Synergy")], true);
}
void R::fun_AllClean_GeekTool() {
    run(kRoutines[routineIndex("fun_AllClean_GeekTool")], true);
}
void R::fun_AllClean_LogitechUnifyingSoftware() {
    run(kRoutines[routineIndex("fun_AllClean_LogitechUnifyingSoftware")], true);
}
void R::fun_AllClean_ZipRar() {
    run(kRoutines[routineIndex("fun_AllClean_ZipRar")], true);
}
void R::fun_AllClean_Arcahol(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Arcahol:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Paltalk() {
    run(kRoutines[routineIndex("fun_AllClean_Paltalk")], true);
}
void R::fun_AllClean_TomTomHome(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_TomTomHome:")], bool_IsRuningRing3);
}
void R::fun_AllClean_MovaviScreenCaptureStudio(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_MovaviScreenCaptureStudio:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Intego(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Intego:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Thunderbird() {
    run(kRoutines[routineIndex("fun_AllClean_Thunderbird")], true);
}
void R::fun_AllClean_ZipCloud() {
    run(kRoutines[routineIndex("fun_AllClean_ZipCloud")], true);
}
void R::fun_AllClean_MPlayerX() {
    run(kRoutines[routineIndex("fun_AllClean_MPlayerX")], true);
}
void R::fun_AllClean_GPGSuiteTools(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_GPGSuiteTools:")], bool_IsRuningRing3);
}
void R::fun_AllClean_GarminExpress(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_GarminExpress:")], bool_IsRuningRing3);
}
void R::fun_AllClean_ClamXav(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_ClamXav:")], bool_IsRuningRing3);
}
void R::fun_AllClean_MacScan(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_MacScan:")], bool_IsRuningRing3);
}
void R::fun_AllClean_RekordBox(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_RekordBox:")], bool_IsRuningRing3);
}
void R::fun_AllClean_TeamSpeak(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_TeamSpeak:")], bool_IsRuningRing3);
}
void R::fun_AllClean_AptanaStudio(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_AptanaStudio:")], bool_IsRuningRing3);
}
void R::fun_AllClean_LittleSnitch(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_LittleSnitch:")], bool_IsRuningRing3);
}
void R::fun_AllClean_CisdemAppCrypt(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_CisdemAppCrypt:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Yoink(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Yoink:")], bool_IsRuningRing3);
}
void R::fun_AllClean_WacomTabletUtility(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_WacomTabletUtility:")], bool_IsRuningRing3);
}
void R::fun_AllClean_MicrosoftRemoteDesktop(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_MicrosoftRemoteDesktop:")], bool_IsRuningRing3);
}
void R::fun_AllClean_MacSpaceReviver(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_MacSpaceReviver:")], bool_IsRuningRing3);
}
void R::fun_AllClean_ToastTitanium(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_ToastTitanium:")], bool_IsRuningRing3);
}
void R::fun_AllClean_NetSpot(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_NetSpot:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Citrio(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Citrio:")], bool_IsRuningRing3);
}
void R::fun_AllClean_JustColorPicker(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_JustColorPicker:")], bool_IsRuningRing3);
}
void R::fun_AllClean_CyberGhost(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_CyberGhost:")], bool_IsRuningRing3);
}
void R::fun_AllClean_TableTennisProLite(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_TableTennisProLite:")], bool_IsRuningRing3);
}
void R::fun_AllClean_iBoostUp(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_iBoostUp:")], bool_IsRuningRing3);
}
void R::fun_AllClean_MEGAsync(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_MEGAsync:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Pref360Control(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Pref360Control:")], bool_IsRuningRing3);
}
void R::fun_AllClean_VPNUnlimited(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_VPNUnlimited:")], bool_IsRuningRing3);
}
void R::fun_AllClean_AdwareRemovalPro(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_AdwareRemovalPro:")], bool_IsRuningRing3);
}
void R::fun_AllClean_WineBottler(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_WineBottler:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Wine(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Wine:")], bool_IsRuningRing3);
}
void R::fun_AllClean_FSecureXC(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_FSecureXC:")], bool_IsRuningRing3);
}
void R::fun_AllClean_EPSONScan(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_EPSONScan:")], bool_IsRuningRing3);
}
void R::fun_AllClean_ScreenFlow(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_ScreenFlow:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Movist(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Movist:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Pastebot(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Pastebot:")], bool_IsRuningRing3);
}
void R::fun_AllClean_SoundSource(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_SoundSource:")], bool_IsRuningRing3);
}
void R::fun_AllClean_TinkerToolSystem(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_TinkerToolSystem:")], bool_IsRuningRing3);
}
void R::fun_AllClean_SyncMate(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_SyncMate:")], bool_IsRuningRing3);
}
void R::fun_AllClean_MalwareCrusher(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_MalwareCrusher:")], bool_IsRuningRing3);
}
void R::fun_AllClean_HideMeVPN(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_HideMeVPN:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Sonos(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Sonos:")], bool_IsRuningRing3);
}
void R::fun_AllClean_K9WebProtection(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_K9WebProtection:")], bool_IsRuningRing3);
}
void R::fun_AllClean_SophosHome(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_SophosHome:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Mamp(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Mamp:")], bool_IsRuningRing3);
}
void R::fun_AllClean_HQPlayerDesktop(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_HQPlayerDesktop:")], bool_IsRuningRing3);
}
void R::fun_AllClean_handyPrint(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_handyPrint:")], bool_IsRuningRing3);
}
void R::fun_AllClean_ZappitiMediaCenter(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_ZappitiMediaCenter:")], bool_IsRuningRing3);
}
void R::fun_AllClean_TheUnarchiver(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_TheUnarchiver:")], bool_IsRuningRing3);
}
void R::fun_AllClean_SilhouetteStudio(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_SilhouetteStudio:")], bool_IsRuningRing3);
}
void R::fun_AllClean_FitbitConnect(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_FitbitConnect:")], bool_IsRuningRing3);
}
void R::fun_AllClean_CamTwist(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_CamTwist:")], bool_IsRuningRing3);
}
void R::fun_AllClean_StuffItExpander(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_StuffItExpander:")], bool_IsRuningRing3);
}
void R::fun_AllClean_ZeroNet(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_ZeroNet:")], bool_IsRuningRing3);
}
void R::fun_AllClean_qTox(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_qTox:")], bool_IsRuningRing3);
}
void R::fun_AllClean_uTox(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_uTox:")], bool_IsRuningRing3);
}
void R::fun_AllClean_EarMaster(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_EarMaster:")], bool_IsRuningRing3);
}
void R::fun_AllClean_ServiioConsole(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_ServiioConsole:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Boom3D(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Boom3D:")], bool_IsRuningRing3);
}
void R::fun_AllClean_TeXstudio(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_TeXstudio:")], bool_IsRuningRing3);
}
void R::fun_AllClean_WDDriveUtilities(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_WDDriveUtilities:")], bool_IsRuningRing3);
}
void R::fun_AllClean_OwnCloud(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_OwnCloud:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Grammarly(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Grammarly:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Roblox(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Roblox:")], bool_IsRuningRing3);
}
void R::fun_AllClean_RobloxStudio(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_RobloxStudio:")], bool_IsRuningRing3);
}
void R::fun_AllClean_SidifyMusicConverter(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_SidifyMusicConverter:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Anki(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Anki:")], bool_IsRuningRing3);
}
void R::fun_AllClean_OBS(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_OBS:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Keka(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Keka:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Xmarks(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Xmarks:")], bool_IsRuningRing3);
}
void R::fun_AllClean_RemoRecover(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_RemoRecover:")], bool_IsRuningRing3);
}
void R::fun_AllClean_EyeConnect(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_EyeConnect:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Tunnelblick(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Tunnelblick:")], bool_IsRuningRing3);
}
void R::fun_AllClean_SeagateDashboard(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_SeagateDashboard:")], bool_IsRuningRing3);
}
void R::fun_AllClean_TuneupMyMac(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_TuneupMyMac:")], bool_IsRuningRing3);
}
void R::fun_AllClean_OpenOffice(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_OpenOffice:")], bool_IsRuningRing3);
}
void R::fun_AllClean_FxFactory(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_FxFactory:")], bool_IsRuningRing3);
}
void R::fun_AllClean_DXOPhotoLab1(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_DXOPhotoLab1:")], bool_IsRuningRing3);
}
void R::fun_AllClean_LeawoMusicRecorder(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_LeawoMusicRecorder:")], bool_IsRuningRing3);
}
void R::fun_AllClean_GooglePlayMusicDesktopPlayer(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_GooglePlayMusicDesktopPlayer:")], bool_IsRuningRing3);
}
void R::fun_AllClean_CrossOver(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_CrossOver:")], bool_IsRuningRing3);
}
void R::fun_AllClean_FreeDownloadManager(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_FreeDownloadManager:")], bool_IsRuningRing3);
}
void R::fun_AllClean_Transmission(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_Transmission:")], bool_IsRuningRing3);
}
void R::fun_AllClean_VyprVPN(bool bool_IsRuningRing3) {
    run(kRoutines[routineIndex("fun_AllClean_VyprVPN:")], bool_IsRuningRing3);
}

}  // namespace vendrel
