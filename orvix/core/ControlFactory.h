#pragma once
// The class-name factories. Which names each factory accepts is fixed here;
// a class becomes creatable by one line in its own .cpp:
//     ORVIX_REGISTER_CONTROL(MButton)
// Until then its name is accepted but creates nothing (null).
#include "orvix/core/MControl.h"

namespace Orvix {

using ControlCreator = MControl* (*)(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible,
                                     int enabled);

bool RegisterControlClass(const wchar_t* name, ControlCreator creator);
// The window factory (PaintManager) and the container factory (MPanel).
MControl* CreateWindowFactoryControl(const wchar_t* name, MObject* parent, UINT id, CRect rect,
                                     const wchar_t* title, int visible, int enabled);
MControl* CreateContainerFactoryControl(const wchar_t* name, MObject* parent, UINT id, CRect rect,
                                        const wchar_t* title, int visible, int enabled);
bool IsWindowFactoryName(const wchar_t* name);
bool IsContainerFactoryName(const wchar_t* name);

template <typename T>
MControl* MakeControl(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled) {
    return new T(parent, id, rect, title, visible, enabled);
}

}  // namespace Orvix

#define ORVIX_WIDEN_2(x) L##x
#define ORVIX_WIDEN(x) ORVIX_WIDEN_2(x)
#define ORVIX_REGISTER_CONTROL(Class)                                                     \
    namespace {                                                                           \
    [[maybe_unused]] const bool g_registered_##Class =                                    \
        ::Orvix::RegisterControlClass(ORVIX_WIDEN(#Class), &::Orvix::MakeControl<::Orvix::Class>); \
    }
