#include "com/HResult.h"

#include <cstdio>

namespace com {

std::string FormatHResult(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

std::string DescribeHResult(HRESULT hr) {
    struct Entry {
        HRESULT hr;
        const char* text;
    };
    static constexpr Entry kTexts[] = {
        {S_OK, "The operation completed successfully."},
        {S_FALSE, "The operation completed with a negative answer."},
        {E_NOTIMPL, "Not implemented."},
        {E_NOINTERFACE, "No such interface supported."},
        {E_POINTER, "Invalid pointer."},
        {E_ABORT, "Operation aborted."},
        {E_FAIL, "Unspecified error."},
        {E_UNEXPECTED, "Catastrophic failure."},
        {E_ACCESSDENIED, "Access is denied."},
        {E_OUTOFMEMORY, "Not enough memory is available to complete this operation."},
        {E_INVALIDARG, "The parameter is incorrect."},
        {CLASS_E_NOAGGREGATION, "Class does not support aggregation."},
        {CLASS_E_CLASSNOTAVAILABLE, "The class is not available from this module."},
        {REGDB_E_READREGDB, "Could not read key from registry."},
        {REGDB_E_WRITEREGDB, "Could not write key to registry."},
        {REGDB_E_CLASSNOTREG, "Class not registered."},
        {DV_E_DVASPECT, "Invalid aspect."},
        {CO_E_NOTINITIALIZED, "The object runtime has not been initialised on this thread."},
        {CO_E_CLASSSTRING, "Invalid class string."},
        {CO_E_DLLNOTFOUND, "The module of the class could not be found."},
        {CO_E_ERRORINDLL, "The module of the class does not export the expected entry point."},
        {RPC_E_CHANGED_MODE, "Cannot change the thread mode after it is set."},
        {DISP_E_UNKNOWNINTERFACE, "Unknown interface."},
        {DISP_E_MEMBERNOTFOUND, "Member not found."},
        {DISP_E_PARAMNOTFOUND, "Parameter not found."},
        {DISP_E_TYPEMISMATCH, "Type mismatch."},
        {DISP_E_UNKNOWNNAME, "Unknown name."},
        {DISP_E_NONAMEDARGS, "No named arguments."},
        {DISP_E_BADVARTYPE, "Bad variable type."},
        {DISP_E_EXCEPTION, "Exception occurred."},
        {DISP_E_OVERFLOW, "Out of present range."},
        {DISP_E_BADINDEX, "Invalid index."},
        {DISP_E_BADPARAMCOUNT, "Invalid number of parameters."},
        {DISP_E_PARAMNOTOPTIONAL, "Parameter not optional."},
        {TYPE_E_REGISTRYACCESS, "Error accessing the type library registration."},
        {TYPE_E_LIBNOTREGISTERED, "Library not registered."},
        {TYPE_E_ELEMENTNOTFOUND, "Element not found."},
        {TYPE_E_CANTLOADLIBRARY, "Error loading type library."},
        {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), "The system cannot find the file specified."},
        {HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), "The specified module could not be found."},
        {HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND), "The specified procedure could not be found."},
    };
    for (const Entry& e : kTexts) {
        if (e.hr == hr) {
            return e.text;
        }
    }
    return "Error " + FormatHResult(hr) + ".";
}

}  // namespace com
