#include "app/MouseServiceBridge.h"

#include "app/MouseController.h"
#include "app/MouseSnapshot.h"
#include "app/ScriptedChanges.h"
#include "device/DeviceCatalog.h"
#include "device/DeviceManager.h"
#include "base/TextConv.h"
#include "orvix/platform/Platform.h"
#include "storage/DataStore.h"

namespace {

MouseCallResult Refusal(const ScriptOutcome& outcome) {
    switch (outcome.fault) {
        case ScriptOutcome::Fault::OutOfRange:
            return {MouseFault::OutOfRange, outcome.message};
        case ScriptOutcome::Fault::Store:
            return {MouseFault::StoreUnusable, outcome.message};
        default:
            return {MouseFault::InvalidArgs, outcome.message};
    }
}

}  // namespace

MouseServiceBridge::MouseServiceBridge(MouseController& controller, const std::string& busAddress)
    : m_controller(controller),
      m_alive(std::make_shared<int>(0)),
      m_service(std::make_unique<MouseService>(busAddress, static_cast<MouseServiceHandler&>(*this))) {
    Publish();
    m_service->Start();
}

MouseServiceBridge::~MouseServiceBridge() {
    m_service.reset();
    m_alive.reset();
}

void MouseServiceBridge::NoteChange() {
    if (m_publishPending || !m_service) return;
    m_publishPending = true;
    std::weak_ptr<int> alive = m_alive;
    Orvix::Platform::PostTask([this, alive] {
        if (!alive.lock()) return;
        m_publishPending = false;
        Publish();
    });
}

void MouseServiceBridge::Publish() {
    m_service->Publish(BuildMouseSnapshot(m_controller.GetState(), m_controller.GetStore(), DeviceManager::Instance(),
                                          m_controller.GetCatalog()));
}

TaskDone MouseServiceBridge::AnswerWhenSent(MouseReply reply) {
    std::weak_ptr<int> alive = m_alive;
    return [this, alive, reply = std::move(reply)](bool sent) {
        const MouseCallResult result =
            sent ? MouseCallResult{} : MouseCallResult{MouseFault::Failed, "the mouse could not be written"};
        // Both go out through the service's loop, in this order. Should the UI
        // thread never come to it, the ending service answers the call instead.
        Orvix::Platform::PostTask([this, alive, reply, result] {
            if (alive.lock()) Publish();
            reply(result);
        });
    };
}

void MouseServiceBridge::OnMouseCall(const MouseCall& call, MouseReply reply) {
    // The weak reference is made here, on the service's thread, from a pointer
    // that only changes once the service has stopped calling.
    std::weak_ptr<int> alive = m_alive;
    Orvix::Platform::PostTask([this, alive, call, reply] {
        if (!alive.lock()) {
            reply({MouseFault::Failed, "the program is ending"});
            return;
        }
        Run(call, reply);
    });
}

void MouseServiceBridge::Run(const MouseCall& call, const MouseReply& reply) {
    DeviceMainDef& state = m_controller.GetState();
    const DeviceCatalog& catalog = m_controller.GetCatalog();
    const CatalogEntry* model = nullptr;
    for (const CatalogEntry& entry : catalog.models)
        if (MouseObjectName(Orvix::WideToUtf8(entry.deviceAttr), entry.deviceType) == call.objectName) model = &entry;
    if (!model) {
        reply({MouseFault::NoMouse, "no such mouse"});
        return;
    }
    const std::string name = Orvix::WideToUtf8(model->name);
    if (model->deviceType != state.GetCurrentDeviceType()) {
        reply({MouseFault::NoMouse, "the window shows another model than " + name + ": choose " + name +
                                        " in its device list first"});
        return;
    }
    if (!state.IsConnected() || DeviceManager::Instance().GetCurrentDevMode() < 0) {
        reply({MouseFault::NoMouse, "no mouse of model " + name + " is reachable"});
        return;
    }
    // The pairing dialog has the receiver to itself; the worker drops what is queued meanwhile.
    if (state.IsPairingOpen()) {
        reply({MouseFault::Failed, "the receiver is being paired: try again once the pairing dialog is closed"});
        return;
    }
    DataStore& store = m_controller.GetStore();
    const int32_t profile = state.GetCurrentProfile();
    ScriptOutcome outcome;
    switch (call.method) {
        case MouseMethod::Set:
            outcome = StoreSetting(store, profile, model->deviceType, call.key, call.value);
            break;
        case MouseMethod::SetButton:
            outcome = StoreButton(store, profile,
                                  {call.button, call.type, call.value, call.value2, call.value3, call.text});
            break;
        case MouseMethod::SetProfile:
            outcome = CheckProfile(store, call.profile);
            if (outcome.Ok() && !store.SetActiveProfile(call.profile))
                outcome = StoreFailure(store, "cannot make profile " + std::to_string(call.profile) + " active");
            if (!outcome.Ok()) break;
            m_controller.SwitchProfile(call.profile, AnswerWhenSent(reply));
            return;
        case MouseMethod::UploadMacros:
            m_controller.QueueTask(kTaskWriteMacros, AnswerWhenSent(reply));
            return;
        case MouseMethod::Reset:
            outcome = StoreFactoryDefaults(store, profile);
            if (!outcome.Ok()) break;
            m_controller.QueueTask(outcome.task, AnswerWhenSent(reply));
            // As after the window's own reset button: the wait dialog until the mouse is read again.
            m_controller.ShowWaitDialog();
            return;
    }
    if (!outcome.Ok()) {
        reply(Refusal(outcome));
        return;
    }
    m_controller.ShowStoredValues();
    if (outcome.task != kTaskNone) {
        m_controller.QueueTask(outcome.task, AnswerWhenSent(reply));
        NoteChange();
        return;
    }
    Publish();  // stored only: published before the answer, as above
    reply({});
}
