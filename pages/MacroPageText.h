#pragma once
// The language texts of the macro page and its parts (library, events,
// recording), by id: the one place the page's text ids are given.
namespace MacroPageText {

inline constexpr int kTextMacro = 351;
inline constexpr int kTextNew = 353;
inline constexpr int kTextImport = 26;
inline constexpr int kTextExport = 355;
inline constexpr int kTextDeleteEvent = 357;
inline constexpr int kTextClearEvents = 404;
inline constexpr int kTextRecord = 358;
inline constexpr int kTextStop = 359;
inline constexpr int kTextFirstDelayMode = 361;  // 361 to 363
inline constexpr int kTextInsertBefore = 411;
inline constexpr int kTextInsertAfter = 412;
inline constexpr int kTextFirstInsertKind = 415;  // 415 to 418
inline constexpr int kTextFirstButton = 106;      // 106 to 110
inline constexpr int kTextInsert = 39;
inline constexpr int kTextCopy = 405;
inline constexpr int kTextDelete = 30;
inline constexpr int kTextCopySuffix = 31;
inline constexpr int kTextTooManyEvents = 386;
inline constexpr int kTextNoMacro = 387;
inline constexpr int kTextNoKey = 420;
inline constexpr int kTextInsertKeyHint = 1024;  // the short form that fits inside the key field
inline constexpr int kTextInsertTitle = 421;
inline constexpr int kTextNoEvents = 422;
inline constexpr int kTextFixedDelayTitle = 1010;
inline constexpr int kTextFixedDelayRange = 1011;
inline constexpr int kTextMemory = 1012;
inline constexpr int kTextMemoryLeftOut = 1013;
inline constexpr int kTextPauseNeedsEvent = 1014;
inline constexpr int kTextImportMacro = 1015;
inline constexpr int kTextExportMacro = 1016;
inline constexpr int kTextNotMacroFile = 1020;
inline constexpr int kTextDelayCaption = 1023;

}  // namespace MacroPageText
