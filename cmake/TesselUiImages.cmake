# The bitmaps and the icon of both front ends, drawn at build time by tools/ui-images.
# tessel_draw_ui_images(<folder var> <files var>) adds the rule that draws them, in the calling
# directory, and sets the folder they go to and the list of their files.
function(tessel_draw_ui_images folder_var files_var)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(generator ${PROJECT_SOURCE_DIR}/tools/ui-images/make_ui_images.py)
    set(folder ${CMAKE_BINARY_DIR}/generated/ui-images)
    set(names warning_large.bmp success.bmp warning_small.bmp tessel.ico)
    list(TRANSFORM names PREPEND ${folder}/ OUTPUT_VARIABLE files)
    add_custom_command(
        OUTPUT ${files}
        COMMAND Python3::Interpreter ${generator} ${folder}
        DEPENDS ${generator}
        COMMENT "Drawing the user interface's bitmaps and icon"
        VERBATIM)
    set(${folder_var} ${folder} PARENT_SCOPE)
    set(${files_var} ${files} PARENT_SCOPE)
endfunction()
