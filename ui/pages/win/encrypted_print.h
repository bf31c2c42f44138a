// What the job options page does for encrypted secure print (job type 3): choosing it, and
// changing the encryption password, through the crypto library's password window.
#pragma once

#include <windows.h>

#include "property_contexts.h"

namespace vex {

// Job type 3 was clicked on `page`. True: the choice stands (the stored password deciphers, the
// password is asked at print time, IC-card mode, or the window was accepted and the settings
// stored). False: declined; the page is back on normal print (radio 1508, job type 0).
bool chooseEncryptedSecurePrint(HWND page, DocumentContext& context);

// Button 1512 while the job type is 3: the window shows the current password; true when it was
// accepted (the settings are stored and the sheet is marked changed).
bool changeEncryptionPassword(HWND page, DocumentContext& context);

}  // namespace vex
