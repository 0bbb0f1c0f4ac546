# What the resource scripts (rovexa.rc, dismara.rc) need beyond the source tree: the project's
# version as macros, and the string tables and page descriptions in the resource compiler's
# spelling. The Windows build
# compiles the scripts into the programs; the host tests compile the same scripts to check them.
set(RVX_WIN32_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})

# rvx_version_header(DIR): writes DIR/rvx_version.h, the project's version as macros.
function(rvx_version_header rc_dir)
  file(CONFIGURE OUTPUT ${rc_dir}/rvx_version.h CONTENT
"// Generated: the project's version for the resource scripts.
#define RVX_VERSION_MAJOR @PROJECT_VERSION_MAJOR@
#define RVX_VERSION_MINOR @PROJECT_VERSION_MINOR@
#define RVX_VERSION_PATCH @PROJECT_VERSION_PATCH@
#define RVX_VERSION_TEXT \"@PROJECT_VERSION@\"
" @ONLY)
endfunction()

# rvx_resource_inputs(DIR): writes DIR/rvx_version.h now, and adds the build-time commands that
# write DIR/installer_strings.rci, DIR/uninstaller_strings.rci, DIR/installer_pages.rci and
# DIR/uninstaller_pages.rci from the .def tables and page descriptions.
function(rvx_resource_inputs rc_dir)
  rvx_version_header(${rc_dir})
  foreach(table installer/ui/installer_strings uninstaller/uninstaller_strings
                installer/ui/installer_pages uninstaller/uninstaller_pages)
    get_filename_component(name ${table} NAME)
    add_custom_command(OUTPUT ${rc_dir}/${name}.rci
      COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/${table}.def -DOUT=${rc_dir}/${name}.rci
              -P ${RVX_WIN32_SOURCE_DIR}/RcStrings.cmake
      DEPENDS ${CMAKE_SOURCE_DIR}/${table}.def ${RVX_WIN32_SOURCE_DIR}/RcStrings.cmake
      COMMENT "${table}.def for the resource compiler")
  endforeach()
endfunction()

# Everything a resource script depends on besides itself, for rebuilding it when one changes.
# strings and pages name the generated .rci files of the program's table and description.
function(rvx_resource_dependencies out_var rc_dir strings pages icon)
  set(${out_var} ${rc_dir}/${strings} ${rc_dir}/${pages} ${rc_dir}/rvx_version.h ${RVX_WIN32_SOURCE_DIR}/version_info.rci
      ${RVX_WIN32_SOURCE_DIR}/dialog_templates.rci ${RVX_WIN32_SOURCE_DIR}/${icon} PARENT_SCOPE)
endfunction()
