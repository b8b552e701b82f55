#pragma once
// Pairing waits short enough for tests: the dialog's cycle and settle times in
// milliseconds, and no pause before it closes.
#include "dialogs/DonglePairDlg.h"

inline PairingTimings FastPairing() {
    PairingTimings t;
    t.cycleMs = 5;
    t.settleMs = 1;
    t.closeDelayMs = 0;
    return t;
}
