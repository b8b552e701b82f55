#pragma once
// The main window's model and profile controller: the state it shares with the
// worker, the catalog of models, the current model (its description and store)
// and the active profile. It decides and stores; the window shows.
#include <cstdint>
#include <functional>
#include <string>

#include "device/DeviceMainDef.h"
#include "device/DeviceCatalog.h"

class DataStore;
class DeviceManager;

class ModelController {
  public:
    ModelController(DeviceManager& manager, DataStore& store);

    DeviceMainDef& GetState() { return m_state; }
    const DeviceMainDef& GetState() const { return m_state; }
    DeviceManager& GetManager() { return m_manager; }
    DataStore& GetStore() { return m_store; }
    const DeviceCatalog& GetCatalog() const { return m_catalog; }
    // What the current model's description said, with what an earlier one said
    // where this one is silent.
    const DeviceDescription& GetDescription() const { return m_description; }
    const ProductFileProblem& GetCatalogProblem() const { return m_catalogProblem; }
    const ProductFileProblem& GetDescriptionProblem() const { return m_descriptionProblem; }
    const std::wstring& GetModelName() const { return m_modelName; }

    // Told on the UI thread after each task queued (the bus service publishes).
    void SetAfterQueue(std::function<void()> hook) { m_afterQueue = std::move(hook); }
    void QueueTask(const WorkerTask& task, TaskDone done = {});

    // Reads the catalog and gives the device manager its identities.
    void LoadCatalog();
    // Opens the stored model's store (creating its profiles, the first named
    // `defaultProfileName`) and reads its description; returns the description
    // as read, for the window to show what it says.
    DeviceDescription LoadModel(const std::wstring& defaultProfileName);
    // Makes a model of the device list current and remembers the choice; false
    // when it is current already (or none is chosen).
    bool ChooseModel(int deviceType);

    // The profile becomes current and active and is sent whole; returns its name.
    std::wstring SwitchProfile(int32_t profile, TaskDone done);
    // The current profile's name in the current language; false when the store has none.
    bool GetProfileName(std::wstring& name) const;

    // The current model answers on its cable; a receiver is plugged in.
    bool IsOnCable() const;
    bool HasReceiver() const;

  private:
    DeviceManager& m_manager;
    DataStore& m_store;
    DeviceMainDef m_state;
    std::function<void()> m_afterQueue;
    DeviceCatalog m_catalog;
    DeviceDescription m_description;
    ProductFileProblem m_catalogProblem;
    ProductFileProblem m_descriptionProblem;
    std::wstring m_modelName;
};
