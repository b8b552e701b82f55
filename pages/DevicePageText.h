#pragma once
// The language texts of the device page and its profiles-by-application area,
// by id: the one place the page's text ids are given.
namespace DevicePageText {

inline constexpr int kCaptionText = 76;
inline constexpr int kTextMouseVersion = 551;
inline constexpr int kTextReceiverVersion = 552;
inline constexpr int kTextPairing = 723;
inline constexpr int kTextPlugReceiver = 1161;
inline constexpr int kTextFactoryReset = 570;
inline constexpr int kTextFactoryResetQuestion = 571;
inline constexpr int kTextNotice = 576;
inline constexpr int kTextNotConnected = 57;
inline constexpr int kTextUpgradeNotice = 580;
inline constexpr int kTextUpgradeTitle = 672;  // also the upgrade buttons' text
inline constexpr int kTextDeepSleep = 535;
inline constexpr int kTextMinutes = 537;
inline constexpr int kTextHours = 538;
inline constexpr int kTextWake = 992;
inline constexpr int kTextWakeOn = 993;
inline constexpr int kTextWakeOff = 994;

// Profiles by application.
inline constexpr int kTextRulesCaption = 1450;
inline constexpr int kTextSwitch = 1451;
inline constexpr int kTextProfile = 1452;
inline constexpr int kTextAdd = 1453;
inline constexpr int kTextFront = 1454;
inline constexpr int kTextCountdown = 1455;  // "... {n}"
inline constexpr int kTextRemove = 1456;
inline constexpr int kTextDefault = 1457;
inline constexpr int kTextKeep = 1458;
inline constexpr int kTextNotify = 1459;
inline constexpr int kTextAllWindows = 1463;
inline constexpr int kTextGnome = 1464;
inline constexpr int kTextX11Only = 1465;
inline constexpr int kTextNoDisplay = 1466;
inline constexpr int kTextNothingInFront = 1467;
inline constexpr int kTextWindowClass = 1474;  // "{class} (window class)"
inline constexpr int kTextOff = 1475;

}  // namespace DevicePageText
