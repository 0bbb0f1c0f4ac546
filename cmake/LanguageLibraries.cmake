# The language libraries rovexeng.dll (English) and rovexdeu.dll (German): resource-only Windows
# libraries holding the installer's string table and dialog templates under the built-in ids,
# with the texts of installer/ui/rovexeng.txt and installer/ui/rovexdeu.txt. The installer
# loads one of them as data when it is started with /E or /D; both editions read the same file.
#
# Built with the MinGW-w64 tools alone (C preprocessor, resource compiler, linker), so the
# Windows builds and the host build make the same files: the Windows builds beside Rovexa.exe,
# the host build for its tests and the demo's medium.
include(${CMAKE_SOURCE_DIR}/platform/win32/ResourceScripts.cmake)

# Library name, the language's primary and sub-language id, and its name for the version text.
set(RVX_LANGUAGE_LIBRARIES "rovexeng:0x09:0x01:English" "rovexdeu:0x07:0x01:German")

# rvx_language_libraries(OUT_DIR WINDRES CC OUT_VAR): adds the commands that build every language
# library into OUT_DIR with the given MinGW-w64 resource compiler and C compiler driver, and sets
# OUT_VAR to the library files.
function(rvx_language_libraries out_dir windres cc out_var)
  set(pages_def ${CMAKE_SOURCE_DIR}/installer/ui/installer_pages.def)
  set(pages ${out_dir}/installer_pages.i)
  add_custom_command(OUTPUT ${pages}
    COMMAND ${cc} -E -P -x c ${pages_def} -o ${pages}
    DEPENDS ${pages_def}
    COMMENT "The installer's page descriptions for the language libraries"
    VERBATIM)
  set(libraries)
  foreach(entry IN LISTS RVX_LANGUAGE_LIBRARIES)
    string(REPLACE ":" ";" parts ${entry})
    list(GET parts 0 name)
    list(GET parts 1 primary)
    list(GET parts 2 sub)
    list(GET parts 3 language)
    set(work ${out_dir}/${name}.rc.d)
    set(translation ${CMAKE_SOURCE_DIR}/installer/ui/${name}.txt)
    rvx_version_header(${work})
    file(CONFIGURE OUTPUT ${work}/language_library.h CONTENT
"// Generated: what the language library @name@.dll is.
#define RVX_LANGUAGE_PRIMARY @primary@
#define RVX_LANGUAGE_SUB @sub@
#define RVX_FILE_NAME \"@name@.dll\"
#define RVX_FILE_DESCRIPTION \"Rovexa installer texts (@language@)\"
" @ONLY)
    add_custom_command(OUTPUT ${work}/language_strings.rci ${work}/language_pages.rci
      COMMAND ${CMAKE_COMMAND} -DTRANSLATION=${translation} -DPAGES=${pages} -DOUT_DIR=${work}
              -P ${CMAKE_SOURCE_DIR}/cmake/LanguageScript.cmake
      DEPENDS ${translation} ${pages} ${CMAKE_SOURCE_DIR}/cmake/LanguageScript.cmake
      COMMENT "The ${language} texts for ${name}.dll"
      VERBATIM)
    set(script ${CMAKE_SOURCE_DIR}/platform/win32/language_library.rc)
    add_custom_command(OUTPUT ${work}/${name}.res.o
      COMMAND ${windres} -O coff -I ${CMAKE_SOURCE_DIR} -I ${work} -i ${script} -o ${work}/${name}.res.o
      DEPENDS ${script} ${work}/language_strings.rci ${work}/language_pages.rci ${work}/language_library.h
              ${work}/rvx_version.h ${CMAKE_SOURCE_DIR}/platform/win32/version_info.rci
              ${CMAKE_SOURCE_DIR}/platform/win32/dialog_templates.rci
      COMMENT "Compiling the resources of ${name}.dll"
      VERBATIM)
    # No code, no runtime and no entry point (address 0; this linker has no --no-entry): the
    # installer only ever loads it as data.
    add_custom_command(OUTPUT ${out_dir}/${name}.dll
      COMMAND ${cc} -nostdlib -shared -s -Wl,--entry=0 -o ${out_dir}/${name}.dll ${work}/${name}.res.o
      DEPENDS ${work}/${name}.res.o
      COMMENT "Linking the language library ${name}.dll"
      VERBATIM)
    list(APPEND libraries ${out_dir}/${name}.dll)
  endforeach()
  set(${out_var} ${libraries} PARENT_SCOPE)
endfunction()

# The host build makes the libraries too, with the i686 tools (the release architecture), into
# build/languages: the tests read them and the demo's medium carries them. Without the tools the
# host programs still run, with the built-in texts only; the tests need them.
function(rvx_host_language_libraries out_var)
  find_program(RVX_LANGUAGE_WINDRES i686-w64-mingw32-windres)
  find_program(RVX_LANGUAGE_CC i686-w64-mingw32-gcc)
  if(NOT RVX_LANGUAGE_WINDRES OR NOT RVX_LANGUAGE_CC)
    set(missing "the language libraries need i686-w64-mingw32-windres and i686-w64-mingw32-gcc: install "
                "the Debian packages binutils-mingw-w64-i686 gcc-mingw-w64-i686 (./scripts/demo and "
                "./scripts/test do)")
    if(RVX_TESTS)
      message(FATAL_ERROR ${missing} ", or configure with -DRVX_TESTS=OFF.")
    endif()
    message(WARNING ${missing} "; without them the demo's medium has no language libraries.")
    set(${out_var} "" PARENT_SCOPE)
    return()
  endif()
  rvx_language_libraries(${CMAKE_BINARY_DIR}/languages ${RVX_LANGUAGE_WINDRES} ${RVX_LANGUAGE_CC} libraries)
  add_custom_target(language_libraries ALL DEPENDS ${libraries})
  set(${out_var} ${libraries} PARENT_SCOPE)
endfunction()
