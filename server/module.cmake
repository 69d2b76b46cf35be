# QBStorage.so: the in-process server module the manager's pages load through the
# registry. It exports only DllCanUnloadNow, DllGetClassObject, DllRegisterServer,
# DllUnregisterServer and ModuleVersionValue; everything linked into it stays private
# to it, so that several modules (and the program) never share one of its symbols.
add_library(QBStorage MODULE frame/Exports.cpp)
set_target_properties(QBStorage PROPERTIES
    PREFIX ""
    OUTPUT_NAME QBStorage
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
target_link_libraries(QBStorage PRIVATE qbserver_frame)
if(TARGET qbserver_dialogs)
    target_link_libraries(QBStorage PRIVATE qbserver_dialogs)
endif()
set(_qb_exports ${CMAKE_CURRENT_SOURCE_DIR}/frame/QBStorage.map)
target_link_options(QBStorage PRIVATE -Wl,--version-script=${_qb_exports})
set_property(TARGET QBStorage APPEND PROPERTY LINK_DEPENDS ${_qb_exports})
quenby_warnings(QBStorage)
