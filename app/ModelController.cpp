#include "app/ModelController.h"

#include "device/DeviceManager.h"
#include "base/AppContext.h"
#include "base/Folders.h"
#include "base/SettingsStore.h"
#include "base/Trace.h"
#include "storage/DataStore.h"

ModelController::ModelController(DeviceManager& manager, DataStore& store) : m_manager(manager), m_store(store) {}

void ModelController::QueueTask(const WorkerTask& task, TaskDone done) {
    m_state.QueueTask(task, std::move(done));
    if (m_afterQueue) m_afterQueue();
}

void ModelController::LoadCatalog() {
    m_catalog = DeviceCatalog();
    m_manager.ClearSupportedIds();
    ReadCatalog(GetProgramFolder(), JoinPath(GetSkinFolder(), L"device/"), m_catalog, &m_catalogProblem);
    for (const SupportedId& id : m_catalog.supportedIds) m_manager.AddSupportedId(id);
}

DeviceDescription ModelController::LoadModel(const std::wstring& defaultProfileName) {
    const int deviceType = EffectiveDeviceType(ReadAppRegInt(L"DeviceType"));
    const CatalogEntry* model = FindModel(m_catalog.models, deviceType);
    m_modelName = model ? model->name : L"";
    const std::wstring attr = model ? model->deviceAttr : L"";
    m_state.SetCurrentDeviceType(deviceType);

    m_store.CloseIfOpen();
    // A first start creates the whole store, profiles included, in one step.
    if (!EnsureDatabaseFolder() || !m_store.OpenForDevice(GetUserDataFolder(), attr, defaultProfileName))
        Vantorel::Trace("main window: no store for model %d", deviceType);

    DeviceDescription description;
    ReadDeviceDescription(GetProgramFolder(), attr, description, &m_descriptionProblem);
    // Without a model there is no description to miss: the catalog says why.
    if (!model) m_descriptionProblem = ProductFileProblem{};
    if (description.lightingPage) m_state.SetLightingPage(*description.lightingPage);
    // What a description leaves out stays as the previous model had it.
    if (description.mouseImage) m_description.mouseImage = description.mouseImage;
    if (description.lightingPage) m_description.lightingPage = description.lightingPage;
    if (description.keysFound) {
        m_description.keysFound = true;
        m_description.buttons = description.buttons;
        m_description.defaultButtons = description.defaultButtons;
    }
    return description;
}

bool ModelController::ChooseModel(int deviceType) {
    if (deviceType <= 0 || deviceType == m_state.GetCurrentDeviceType()) return false;
    m_state.SetCurrentDeviceType(deviceType);
    m_manager.SetCurrentDeviceType(deviceType);
    m_manager.DropActiveHandle();
    WriteAppRegInt(L"DeviceType", deviceType);
    return true;
}

std::wstring ModelController::SwitchProfile(int32_t profile, TaskDone done) {
    m_state.SetCurrentProfile(profile);
    m_store.SetActiveProfile(profile);
    std::wstring name;
    m_store.GetProfileName(profile, name, GetCurrentLcid());
    QueueTask(kTaskWriteEverything, std::move(done));
    return name;
}

bool ModelController::GetProfileName(std::wstring& name) const {
    return m_store.GetProfileName(m_state.GetCurrentProfile(), name, GetCurrentLcid());
}

bool ModelController::IsOnCable() const {
    return m_manager.GetCurrentDevMode() == kModeCable;
}

bool ModelController::HasReceiver() const {
    return m_manager.HasReceiver();
}
