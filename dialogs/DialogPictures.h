#pragma once
// Pictures of the secondary dialogs for the program's --screenshot run: each
// dialog is built over `owner` as the user would see it (the pairing window
// without starting to pair), painted, saved as PNG and closed again. False when
// a picture could not be written.
#include <string>

#include "device/DeviceCatalog.h"
#include "orvix/platform/WinTypes.h"

class DeviceManager;

// The pairing window waiting for the mouse ("pairing.png").
bool SavePairingPicture(Orvix::HWND owner, DeviceManager& manager, const std::wstring& pngPath);

// The settings window on its settings page ("settings.png") and its about page
// ("settings-about.png"), with the states stored for this user.
bool SaveSettingPictures(Orvix::HWND owner, const SoftwareInfo& software, const std::wstring& settingsPng,
                         const std::wstring& aboutPng);
