#pragma once
// What the program's bus service needs of the main window's controller: its state
// and store, the catalog, the worker's queue with word of each task's outcome, a
// profile switch, and the pages shown again from the store. The main window
// implements it; the service never sees the window itself.
#include <cstdint>

#include "device/DeviceMainDef.h"

class DataStore;
struct DeviceCatalog;

class MouseController {
  public:
    virtual ~MouseController() = default;

    virtual DeviceMainDef& GetState() = 0;
    virtual DataStore& GetStore() = 0;
    virtual const DeviceCatalog& GetCatalog() const = 0;
    // Appends a worker task; `done` is told its outcome (on the worker thread).
    virtual void QueueTask(const WorkerTask& task, TaskDone done) = 0;
    // What choosing a profile in the window does: it becomes active and is sent whole.
    virtual void SwitchProfile(int32_t profile, TaskDone done) = 0;
    // The pages show the store again after a change made elsewhere than on them.
    virtual void ShowStoredValues() = 0;
    // The wait dialog, until the running task closes it (the factory reset).
    virtual void ShowWaitDialog() = 0;
};
