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
