// The server module's process-wide state: its frame (class table, lock count, class
// object cache), its type library and one dispatcher per dual interface.
//
// StartServerModule runs when the library is loaded, StopServerModule when it is
// unloaded. A failed start leaves the module unable to hand out
// class objects or register itself; StartupProblem() says why.
#pragma once

#include <string>

#include "com/Dispatcher.h"
#include "com/ServerModule.h"

com::ServerModule& QBStorageModule();
ITypeLib* QBStorageTypeLib();

const com::Dispatcher& IIDentityDispatcher();
const com::Dispatcher& IPasscardsDispatcher();
const com::Dispatcher& IIdentityCtrDispatcher();

bool StartServerModule();
void StopServerModule();
const std::string& StartupProblem();

// Describes an exception that left a member (called inside the catch block): the
// store's and the cipher's exceptions by their messages.
std::string DescribeServerException();
