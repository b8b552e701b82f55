#pragma once
// The device worker's task codes: small integers that the pages, the hot-plug handler
// and the profile import queue, and the main window's worker runs in FIFO order.
// Codes without a task (9, 19, 21, 24 and any other) are consumed without effect.
enum WorkerTask : int {
    kTaskNone = 0,  // nothing to queue
    kTaskInitialRead = 1,
    kTaskReadAfterChangeLong = 2,   // pause 1000 ms, refresh, read, then the initial read
    kTaskReadAfterChangeShort = 3,  // pause 500 ms, refresh, read
    kTaskReadAfterSwitch = 4,
    kTaskWriteEverything = 5,
    kTaskWriteMacros = 6,
    kTaskWriteButtonMap = 7,
    kTaskLighting = 9,  // lighting lives in the store only: nothing to send
    kTaskWriteDpiStage = 10,
    kTaskWriteReportRate = 11,
    kTaskWriteSensor = 12,
    kTaskWriteRespondTime = 13,
    kTaskWriteScroll = 14,
    kTaskWriteLiftoff = 15,
    kTaskWriteHighspeed = 16,
    kTaskWriteSleep = 17,
    kTaskWriteMoveWakeup = 18,
    kTaskResetPage = 22,
    kTaskFactoryReset = 23,
    kTaskProfileImportOtherModel = 24,  // a profile import on a model above 200: no task
};
