# Windows executables: the tool's manifest with an execution level, as resource 1 of type
# RT_MANIFEST (24).
function(tessel_windows_manifest target level)
    set(TESSEL_EXECUTION_LEVEL ${level})
    set(_dir ${CMAKE_BINARY_DIR}/generated/manifests)
    configure_file(${PROJECT_SOURCE_DIR}/src/app/app.manifest.in ${_dir}/${target}.manifest
                   @ONLY)
    file(CONFIGURE OUTPUT ${_dir}/${target}_manifest.rc
         CONTENT "1 24 \"${_dir}/${target}.manifest\"\n" @ONLY)
    set_source_files_properties(${_dir}/${target}_manifest.rc PROPERTIES
                                OBJECT_DEPENDS ${_dir}/${target}.manifest)
    target_sources(${target} PRIVATE ${_dir}/${target}_manifest.rc)
endfunction()

# The maker and copyright shown by the package, the version resources and the metainfo.
set(TESSEL_COMPANY "The Tessel developers")
set(TESSEL_COPYRIGHT "Copyright 2026 The Tessel developers")

# A Windows executable's version resource: the project's version, `description`, company,
# product and copyright.
function(tessel_windows_version_info target description)
    set(TESSEL_PROGRAM ${target})
    set(TESSEL_FILE_DESCRIPTION "${description}")
    set(_rc ${CMAKE_BINARY_DIR}/generated/version-info/${target}_version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/src/app/version_info.rc.in ${_rc} @ONLY)
    target_sources(${target} PRIVATE ${_rc})
endfunction()

# The DLLs that are not among Windows' known DLLs, and so would be looked for beside the
# executable first: the print spooler's WINSPOOL.DRV, GDI+ (known only on some versions) and the
# common controls. The programs delay-load them through target tessel_delay_<library>, and
# src/app/system_dlls.cpp loads each from the system folder only. The delay import libraries
# are made from mingw-w64's import libraries at configure time.
if(WIN32 AND NOT TESSEL_HOST_TOOLS_ONLY)
    find_program(TESSEL_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool x86_64-w64-mingw32-dlltool
                 REQUIRED)
    find_program(TESSEL_NM NAMES ${TOOLCHAIN_PREFIX}-nm x86_64-w64-mingw32-nm REQUIRED)
    set(_delay_dir ${CMAKE_BINARY_DIR}/generated/delay-imports)
    file(MAKE_DIRECTORY ${_delay_dir})
    foreach(_pair winspool:WINSPOOL.DRV gdiplus:gdiplus.dll comctl32:COMCTL32.dll setupapi:SETUPAPI.dll)
        string(REPLACE ":" ";" _pair "${_pair}")
        list(GET _pair 0 _lib)
        list(GET _pair 1 _dll)
        find_library(TESSEL_IMPORT_LIB_${_lib} NAMES lib${_lib}.a REQUIRED)
        execute_process(COMMAND ${TESSEL_NM} ${TESSEL_IMPORT_LIB_${_lib}}
                        OUTPUT_VARIABLE _symbols COMMAND_ERROR_IS_FATAL ANY)
        string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@]+" _imports "${_symbols}")
        list(TRANSFORM _imports REPLACE " I __imp_" "")
        list(REMOVE_DUPLICATES _imports)
        list(SORT _imports)
        list(JOIN _imports "\n" _exports)
        file(WRITE ${_delay_dir}/${_lib}.def "LIBRARY \"${_dll}\"\nEXPORTS\n${_exports}\n")
        # Made beside the final library and copied only when it differs, so that configuring
        # again relinks nothing; the fixed temporary prefix and the relative output name keep the
        # build folder's path out of the archive's member and symbol names.
        execute_process(COMMAND ${TESSEL_DLLTOOL} --def ${_lib}.def --dllname ${_dll}
                                --temp-prefix tessel_${_lib}
                                --output-delaylib lib${_lib}_delay.a.new
                        WORKING_DIRECTORY ${_delay_dir} COMMAND_ERROR_IS_FATAL ANY)
        file(COPY_FILE ${_delay_dir}/lib${_lib}_delay.a.new ${_delay_dir}/lib${_lib}_delay.a
             ONLY_IF_DIFFERENT)
        file(REMOVE ${_delay_dir}/lib${_lib}_delay.a.new)
        add_library(tessel_delay_${_lib} INTERFACE)
        target_link_libraries(tessel_delay_${_lib} INTERFACE ${_delay_dir}/lib${_lib}_delay.a)
    endforeach()
endif()
