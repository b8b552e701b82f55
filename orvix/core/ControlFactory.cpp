#include "orvix/core/ControlFactory.h"

#include <cwchar>
#include <map>
#include <string>

namespace Orvix {

namespace {

// Names both factories accept.
const wchar_t* const kCommonNames[] = {
    L"CArea",      L"MText",         L"MPicture",       L"CPhotoFrame",  L"CSliderPicture", L"CGifPicture",
    L"MProgress",  L"MSlider",       L"LightSlider",    L"DPISlider",    L"MLevelCtrl",     L"MButton",
    L"CImageButton", L"CTextButton", L"CCheckButton",   L"CRadioButton", L"CSelectButton",  L"CColorButton",
    L"MSpinButton", L"CSpinButton",  L"CSwitchButton",  L"CIconButton",  L"CTimerButton",   L"CHelpButton",
    L"MEdit",      L"MRichEdit",     L"MEditEx",        L"MComboBox",    L"MTabCtrl",       L"MTabLayout",
    L"MListBox",   L"DListBox",      L"MPalette",       L"CColorPalette", L"CColorSelect",  L"CirclePalette",
    L"MenuItem",   L"CDeviceList",   L"CRoundArea"};
// Only the window factory.
const wchar_t* const kWindowOnlyNames[] = {L"CComboBoxList", L"TextCheckButton", L"CDeviceState", L"BatteryCtrl",
                                          L"CTabCtrl1"};
// Only the container factory.
const wchar_t* const kContainerOnlyNames[] = {
    L"UpgradeButton", L"DownloadButton", L"MacroList",   L"CRecordList", L"DPIControl", L"LongPressButton",
    L"MouseKeyCtrl",  L"MouseCtrl",      L"ColorButtonEx", L"MComboBox2", L"MButton2",  L"MButton3",
    L"PaletteBar",    L"NumberEdit",     L"NumberEdit2", L"ReporteCtrl", L"KeyFuncType", L"KeyFuncValue"};

std::map<std::wstring, ControlCreator>& Registry() {
    static std::map<std::wstring, ControlCreator> registry;
    return registry;
}

template <size_t N>
bool InList(const wchar_t* const (&list)[N], const wchar_t* name) {
    for (const wchar_t* n : list)
        if (std::wcscmp(n, name) == 0) return true;
    return false;
}

MControl* Create(const wchar_t* name, MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible,
                 int enabled) {
    auto it = Registry().find(name);
    return it == Registry().end() ? nullptr : it->second(parent, id, rect, title, visible, enabled);
}

}  // namespace

bool RegisterControlClass(const wchar_t* name, ControlCreator creator) {
    Registry()[name] = creator;
    return true;
}

bool IsWindowFactoryName(const wchar_t* name) {
    return name && (InList(kCommonNames, name) || InList(kWindowOnlyNames, name));
}

bool IsContainerFactoryName(const wchar_t* name) {
    return name && (InList(kCommonNames, name) || InList(kContainerOnlyNames, name));
}

MControl* CreateWindowFactoryControl(const wchar_t* name, MObject* parent, UINT id, CRect rect,
                                     const wchar_t* title, int visible, int enabled) {
    return IsWindowFactoryName(name) ? Create(name, parent, id, rect, title, visible, enabled) : nullptr;
}

MControl* CreateContainerFactoryControl(const wchar_t* name, MObject* parent, UINT id, CRect rect,
                                        const wchar_t* title, int visible, int enabled) {
    return IsContainerFactoryName(name) ? Create(name, parent, id, rect, title, visible, enabled) : nullptr;
}

}  // namespace Orvix
