// The server's class table, in its fixed order (the order of registration and of the
// class-object search): IDentity, Passcards, IdentityCtr. Each row has its creators
// (all three classes can be aggregated) and its registration script.
//
// Registration script of a class (shown for IDentity; %MODULE% is the module's path):
//   HKCR\QBStorage.IDentity.1                = "IDentity Class"
//   HKCR\QBStorage.IDentity.1\CLSID          = "{2A706EC0-...}"
//   HKCR\QBStorage.IDentity                  = "IDentity Class"
//   HKCR\QBStorage.IDentity\CLSID            = "{2A706EC0-...}"
//   HKCR\QBStorage.IDentity\CurVer           = "QBStorage.IDentity.1"
//   HKCR\CLSID                               (never removed)
//   HKCR\CLSID\{2A706EC0-...}                = "IDentity Class"  (rewritten from scratch)
//     ProgID = "QBStorage.IDentity.1", VersionIndependentProgID = "QBStorage.IDentity",
//     Programmable (rewritten), InprocServer32 = %MODULE% [ThreadingModel = "Apartment"],
//     TypeLib = "{C1EB49B2-74A7-4DEA-90C4-2E1D40D314B2}"
// IdentityCtr adds after InprocServer32: Control, Insertable, ToolboxBitmap32 =
// "%MODULE%, 104" (each rewritten), MiscStatus = "0" with MiscStatus\1 = "132497",
// then TypeLib and Version = "1.0".
#pragma once

#include <span>

#include "com/ServerModule.h"

std::span<const com::ClassEntry> ServerClasses();
