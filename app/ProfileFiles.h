#pragma once
// The current profile as a file: the profile pop-up's import and export
// buttons. Asks for the file, reads or writes it with the exchange format, says
// why a file was not taken or not written, and after an import has the worker
// send the profile and every page show it.
#include "orvix/platform/WinTypes.h"

class MainPageHost;

class ProfileFiles {
  public:
    explicit ProfileFiles(MainPageHost& host) : m_host(host) {}

    void Import();
    void Export();
    // A profile command of the pop-up (kProfileImport, kProfileExport); false for the others.
    bool Run(Orvix::WPARAM command);

  private:
    MainPageHost& m_host;
};
