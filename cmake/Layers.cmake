# The layers of the tree and the include rules between them. Every header is included by its
# path from the top of the tree, so a folder's includes say which layers it builds on; the
# check below compares them with this table and fails the build on any other include.
#
# One entry per folder: "folder: the folders it may include besides its own". A file belongs to
# the longest folder of the table that holds it. Tests, fuzz targets and benchmarks may include
# everything and are not listed.
set(RVX_LAYERS
  # Text helpers: the bottom layer, which the platform interfaces may use.
  "common/text:"
  "platform:common/text"
  # The painters of the background window and the bars, above the canvas interface.
  "platform/painting:platform common/text"
  # The parts of common/ that both programs share, above the platform interfaces.
  "common/app:platform common/text"
  "common/system:platform common/text"
  "common/uninstall_log:platform common/text"
  # The platform's two implementations.
  "platform/sandbox:platform common/text"
  "platform/win32:platform common/text"
  # The installer, layer by layer: the progress display, the install state, the script, the
  # registration stages, the file stages, the external actions, and the core's run sequence and
  # pages on top.
  "installer/ui:platform common"
  "installer/core/state:installer/ui platform common"
  "installer/script:installer/core/state installer/ui platform common"
  "installer/registration:installer/script installer/core/state installer/ui platform common"
  "installer/files:installer/registration installer/script installer/core/state installer/ui platform common"
  "installer/actions:installer/registration installer/script installer/core/state installer/ui platform common"
  "installer/core:installer platform common"
  "uninstaller:platform common"
  # The host programs' session and options, and every program's entry point.
  "host:installer uninstaller platform common"
  "programs:host installer uninstaller platform common"
)

# The target rvx_layers runs the check whenever a checked file changed.
function(rvx_add_layer_check)
  set(checked)
  foreach(entry IN LISTS RVX_LAYERS)
    string(REGEX REPLACE ":.*" "" folder "${entry}")
    file(GLOB_RECURSE files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND checked ${files})
  endforeach()
  list(REMOVE_DUPLICATES checked)
  set(stamp ${CMAKE_BINARY_DIR}/layers.checked)
  string(REPLACE ";" "|" layers "${RVX_LAYERS}")
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} "-DRVX_LAYERS=${layers}" -DRVX_ROOT=${CMAKE_SOURCE_DIR} -DRVX_STAMP=${stamp}
            -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
    DEPENDS ${checked} ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake ${CMAKE_SOURCE_DIR}/cmake/Layers.cmake
    COMMENT "Checking the includes between layers" VERBATIM)
  add_custom_target(rvx_layers DEPENDS ${stamp})
endfunction()

# Makes every compiled target below dir wait for rvx_layers, so that a wrong-way include fails
# the build of whatever is built.
function(rvx_build_after_layer_check dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      add_dependencies(${target} rvx_layers)
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    rvx_build_after_layer_check(${subdirectory})
  endforeach()
endfunction()
