# Reproducible builds: two builds of the same commit in different folders give the same bytes
# (tools/release/check_reproducible.sh checks it for the package and both .exe).
#
# The compilers write the source folder as "." and the build folder as "build" (__FILE__, the
# debug information's file names and compile folder). The last matching map wins, so a build
# folder inside the source folder (build/<preset>) is written "build" too. ccache hashes the
# compile folder as mapped the same way, so it shares objects between folders (and between the
# linux and linux-fixture trees) without CCACHE_NOHASHDIR, which would let it hand out an object
# whose debug information names another folder.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX,ASM>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>"
                    "$<$<COMPILE_LANGUAGE:C,CXX,ASM>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")

# Windows executables carry no link time in their header (the linker's default is the current
# time, or SOURCE_DATE_EPOCH with Debian's binutils only).
if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
endif()
