// The start of every test that builds windows or pages (its initTestCase):
// the per-user folder tree as the program's start makes it, and the stores
// that read from it. Header only: the test links the domain (core) itself.
#pragma once

#include "Globals.h"
#include "MacroSettings.h"
#include "UserFolders.h"

namespace testsupport {

inline void PrepareUserState()
{
    PrepareUserFolders(UserDir());
    MacroSettings::GetInstance()->Reload();
}

}  // namespace testsupport
