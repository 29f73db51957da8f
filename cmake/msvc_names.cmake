# KORVATHD.DLL also exports the names the platform's usual compiler (MSVC) gives the
# header's declarations, and KORVATHD.lib is that compiler's import library for them.
# Both come from the header itself at build time, so the two name sets cannot drift apart.
find_program(KR_CLANG NAMES clang++ REQUIRED)
find_program(KR_DLLTOOL NAMES llvm-dlltool REQUIRED)
set(kr_msvc ${CMAKE_CURRENT_BINARY_DIR}/korvathd_msvc)
add_custom_command(
  OUTPUT ${kr_msvc}.def ${kr_msvc}_import.def ${kr_msvc}_adapters.cpp
  COMMAND python3 ${PROJECT_SOURCE_DIR}/cmake/msvc_exports.py --clang ${KR_CLANG} --arch ${CMAKE_SYSTEM_PROCESSOR}
          --sdk ${CMAKE_FIND_ROOT_PATH}/include --header ${PROJECT_SOURCE_DIR}/include/korvathd.h
          --dll KORVATHD.DLL --out ${kr_msvc}
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/msvc_exports.py ${PROJECT_SOURCE_DIR}/include/korvathd.h
  COMMENT "KORVATHD: the MSVC names of the header's declarations")
target_sources(korvathd PRIVATE ${kr_msvc}_adapters.cpp ${kr_msvc}.def)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(kr_dlltool_machine i386)
else()
  set(kr_dlltool_machine i386:x86-64)
endif()
set(KR_MSVC_IMPORT_LIBRARY ${PROJECT_BINARY_DIR}/KORVATHD.lib)
add_custom_command(
  OUTPUT ${KR_MSVC_IMPORT_LIBRARY}
  COMMAND ${KR_DLLTOOL} -m ${kr_dlltool_machine} -d ${kr_msvc}_import.def -l ${KR_MSVC_IMPORT_LIBRARY}
  DEPENDS ${kr_msvc}_import.def
  COMMENT "KORVATHD.lib: the import library for MSVC programs")
add_custom_target(korvathd_msvc_import_library ALL DEPENDS ${KR_MSVC_IMPORT_LIBRARY})

# kr_add_msvc_program(TARGET SOURCE): SOURCE built as an MSVC user builds a program on
# KORVATHD: clang in that compiler's mode, no C run-time, lld-link, KORVATHD.lib and import
# libraries of the system DLLs it calls (made by llvm-dlltool from the names below).
# Sets TARGET_EXE in the caller to the program's path.
find_program(KR_LLD_LINK NAMES lld-link REQUIRED)
set(KR_MSVC_SYSTEM_IMPORTS
    "kernel32:ExitProcess@4 GetStdHandle@4 WriteFile@20 CreateFileA@28 ReadFile@20 CloseHandle@4 DeleteFileA@4 GetModuleHandleA@4"
    "user32:CreateWindowExA@48 DestroyWindow@4"
    "gdi32:GetPixel@12")
function(kr_add_msvc_program target source)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}.dir)
  set(compile --target=${CMAKE_SYSTEM_PROCESSOR}-pc-windows-msvc -fgnuc-version=4.2.1 -std=c++17 -O1
      -nostdlibinc -isystem ${CMAKE_FIND_ROOT_PATH}/include -I${PROJECT_SOURCE_DIR}/include
      -fno-exceptions -fno-builtin -mno-stack-arg-probe -Wall -Wextra -Werror)
  set(dlltool ${KR_DLLTOOL} -m ${kr_dlltool_machine})
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    list(APPEND compile -D__i386__ -D_X86_=1)
    list(APPEND dlltool -k)  # the callers' names carry @N, the DLLs' names do not
  endif()
  set(libraries ${KR_MSVC_IMPORT_LIBRARY})
  foreach(entry IN LISTS KR_MSVC_SYSTEM_IMPORTS)
    string(REGEX MATCH "^[^:]+" dll "${entry}")
    string(REGEX REPLACE "^[^:]+:" "" names "${entry}")
    if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
      string(REGEX REPLACE "@[0-9]+" "" names "${names}")
    endif()
    string(REPLACE " " "\n  " names "${names}")
    file(WRITE ${dir}/${dll}.def "LIBRARY ${dll}.dll\nEXPORTS\n  ${names}\n")
    add_custom_command(OUTPUT ${dir}/${dll}.lib COMMAND ${dlltool} -d ${dir}/${dll}.def -l ${dir}/${dll}.lib
                       DEPENDS ${dir}/${dll}.def)
    list(APPEND libraries ${dir}/${dll}.lib)
  endforeach()
  add_custom_command(
    OUTPUT ${dir}/${target}.exe
    COMMAND ${KR_CLANG} ${compile} -c ${source} -o ${dir}/${target}.obj
    COMMAND ${KR_LLD_LINK} /nologo /entry:ProgramStart /subsystem:console /nodefaultlib
            /out:${dir}/${target}.exe ${dir}/${target}.obj ${libraries}
    DEPENDS ${source} ${libraries} ${PROJECT_SOURCE_DIR}/include/korvathd.h
    COMMENT "${target}: a program built as MSVC builds one")
  add_custom_target(${target} ALL DEPENDS ${dir}/${target}.exe)
  set(${target}_EXE ${dir}/${target}.exe PARENT_SCOPE)
endfunction()
