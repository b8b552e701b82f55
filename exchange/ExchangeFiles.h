#pragma once
// Macro and profile exchange files: UTF-8 XML files that carry one macro, or the
// settings of one profile, from this store to a file and back. The functions
// work on a path and the store alone; the file dialogs and the pages that call
// them live elsewhere. No error is reported beyond the result.
//
// Imports read and check the whole file before they write, and write in one
// transaction: a file that is not of its kind, a file with any entry the mouse
// could not take (a key code outside the nine buttons, an unknown function or
// event type, a setting out of its range, an assignment whose parameters are
// missing), or a store write that fails, leaves the store as it was. The
// entries that kept a file out are named, in the file's own words
// ("keyitems item 2: key_code 99").
//
// Launch, web and text assignments refer to rows of the database they were made
// in. A profile file therefore also carries their parameters (attributes
// other_desc and other_param, or text_name and text_content, on the key item),
// and an import stores them as rows of this database. An item of an older file
// without them is skipped when its parameters cannot be rebuilt: a web address
// can (it is the item's macro_desc), a program path or a text cannot.
#include <cstdint>
#include <string>
#include <vector>

#include "base/AppContext.h"

class DataStore;

// Largest exchange file read; real files are a few kilobytes.
inline constexpr uintmax_t kMaxExchangeFileBytes = 1 << 20;
// Most events a macro has (the macro page's limit).
inline constexpr int kMaxMacroEvents = 200;

// Writes the macro and its events in record-index order. False when the macro
// does not exist or the file could not be written completely.
bool ExportMacro(const std::wstring& path, DataStore& store, int32_t macroId);

// Adds the macro of a file as a new macro named "<macro_name> Import", with its
// play settings and its events. Returns the new macro id, 0 when nothing was
// added (no such file, not a macro file, more than kMaxMacroEvents events, an
// event or setting that cannot be played, or a failed write). `badEntries`
// receives the entries that cannot be played.
int32_t ImportMacro(const std::wstring& path, DataStore& store, std::vector<std::wstring>* badEntries = nullptr);

// What the caller knows about the profile being exchanged.
struct ProfileExchangeContext {
    int32_t profile = 0;            // the active profile
    bool lightingPage = false;      // the model's description enables the lighting page
    int deviceType = 0;             // the selected model: chooses the import's worker task
    int languageId = kLcidEnglish;  // export: the profile name as the main window shows it
};

// Writes the profile's button assignments, lighting rows (only with the lighting
// page), DPI levels 0 to 4 and performance settings ("highspeed_mode" as
// element e-sports_flag). False when the file could not be written completely.
bool ExportProfile(const std::wstring& path, DataStore& store, const ProfileExchangeContext& context);

// What a profile import leaves to do.
enum ProfileImport : int {
    kImportRefused = 0,      // the file was kept out: nothing changed
    kImportSendProfile = 1,  // the profile is sent whole to the mouse
    kImportStoredOnly = 2,   // a model above 200: the profile is stored only
};

// Replaces the profile's button assignments by those of the file and merges its
// lighting rows (only with the lighting page; modes without a row are skipped)
// and settings into the profile; the profile keeps its name. Returns what the
// import leaves to do (ProfileImportFollowUp), kImportRefused when nothing
// changed. `badEntries` receives the entries that kept the file out, all of them.
ProfileImport ImportProfile(const std::wstring& path, DataStore& store, const ProfileExchangeContext& context,
                            std::vector<std::wstring>* badEntries = nullptr);

// kImportSendProfile for device types up to 200, kImportStoredOnly above.
ProfileImport ProfileImportFollowUp(int deviceType);
