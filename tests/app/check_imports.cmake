cmake_minimum_required(VERSION 3.25)
# Fails unless every DLL that EXE imports at start is one of Windows' known DLLs, which Windows
# takes from the system folder whatever lies beside the executable. The others are delay-loaded
# (cmake/TesselWindows.cmake, src/app/system_dlls.cpp).
# cmake -DEXE=tessel.exe -DOBJDUMP=x86_64-w64-mingw32-objdump -P check_imports.cmake
set(_system ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll USER32.dll ole32.dll)
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE _dump RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" _imports "${_dump}")
string(TOUPPER "${_system}" _system_upper)
foreach(_line ${_imports})
    string(REPLACE "DLL Name: " "" _dll "${_line}")
    string(STRIP "${_dll}" _dll)
    string(TOUPPER "${_dll}" _dll_upper)
    message(STATUS "imports ${_dll}")
    if(NOT _dll_upper IN_LIST _system_upper)
        message(FATAL_ERROR "${EXE} imports ${_dll}, which is not a known DLL: delay-load it")
    endif()
endforeach()
