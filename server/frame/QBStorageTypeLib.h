// The type library of QBStorage ("TYPELIB 1"), held as data: the enumeration
// eMSG_TYPE, the three coclasses and their dual interfaces with every member's
// dispatch id, parameters (type and direction) and help string.
#pragma once

#include "com/TypeLibDesc.h"

const com::TypeLibDesc& QBStorageTypeLibDesc();
