#include "app/ProfileFiles.h"

#include "device/DeviceMainDef.h"
#include "device/WorkerTask.h"
#include "pages/ExchangeFileUi.h"
#include "pages/MainPageHost.h"
#include "dialogs/ProfileDlg.h"
#include "exchange/ExchangeFiles.h"
#include "base/AppContext.h"
#include "storage/DataStore.h"

namespace {

constexpr int kTextImportProfile = 1017;
constexpr int kTextExportProfile = 1018;
constexpr int kTextNotProfileFile = 1021;

ProfileExchangeContext ExchangeContext(MainPageHost& host) {
    ProfileExchangeContext context;
    context.profile = host.GetState().GetCurrentProfile();
    context.lightingPage = host.GetState().HasLightingPage();
    context.deviceType = host.GetState().GetCurrentDeviceType();
    context.languageId = GetCurrentLcid();
    return context;
}

}  // namespace

bool ProfileFiles::Run(Orvix::WPARAM command) {
    if (command == kProfileImport)
        Import();
    else if (command == kProfileExport)
        Export();
    else
        return false;
    return true;
}

void ProfileFiles::Import() {
    std::wstring path;
    if (!ChooseImportFile(m_host, kTextImportProfile, L"MouseKey (*.xml)", path)) return;
    std::vector<std::wstring> badEntries;
    const ProfileImport imported = ImportProfile(path, m_host.GetStore(), ExchangeContext(m_host), &badEntries);
    if (imported == kImportRefused) {
        ShowFileRefusal(m_host, kTextImportProfile, kTextNotProfileFile, path, badEntries);
        return;
    }
    m_host.QueueTask(TaskAfterImport(imported));
    // Every page shows the profile's new values.
    m_host.BroadcastPageEvent(PageEvent::ProfileChanged, nullptr);
}

void ProfileFiles::Export() {
    const ProfileExchangeContext context = ExchangeContext(m_host);
    std::wstring name;
    m_host.GetStore().GetProfileName(context.profile, name, context.languageId);
    std::wstring path;
    if (!ChooseExportFile(m_host, kTextExportProfile, L"MouseKey (*.xml)", name, path)) return;
    if (!ExportProfile(path, m_host.GetStore(), context))
        ShowFileMessage(m_host, kTextExportProfile, kTextNotWritten, path);
}
