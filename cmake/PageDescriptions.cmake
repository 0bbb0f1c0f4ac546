# Page descriptions: each program's dialogs are defined once, in a .def file of
#   RVX_DIALOG(name, id, width, height, look, "caption")
#     RVX_CONTROL(name, id, kind, "template text", x, y, width, height, data)
#   RVX_END_DIALOG(name)
# entries (see installer/ui/installer_pages.def). The C++ side includes the .def here, once for
# the named ids and once for the tables the page models are made from; the Windows resource
# script includes it through the resource compiler's preprocessor as dialog templates
# (platform/win32/dialog_templates.rci), so a page and its template cannot disagree.
function(rvx_page_description_header def_file namespace header_name)
  set(out ${CMAKE_BINARY_DIR}/generated/${header_name})
  file(WRITE ${out}.tmp
"// Generated from ${def_file}: the named ids of every dialog and control, and the dialog
// descriptions the page models are made from. Each dialog's names live in its own namespace.
#pragma once
#include \"platform/dialog_description.h\"
namespace ${namespace} {
#define RVX_DIALOG(name, id, width, height, look, caption) namespace name { inline constexpr int kDialog = id;
#define RVX_CONTROL(name, id, kind, text, x, y, width, height, data) inline constexpr int name = id;
#define RVX_END_DIALOG(name) }
#include \"${def_file}\"
#undef RVX_DIALOG
#undef RVX_CONTROL
#undef RVX_END_DIALOG
#define RVX_DIALOG(name, id, width, height, look, caption) \\
  namespace name { inline constexpr rvx::platform::ControlDescription kControls[] = {
#define RVX_CONTROL(name, id, kind, text, x, y, width, height, data) \\
  {id, rvx::platform::ControlClass::kind, text, {x, y, width, height}, data},
#define RVX_END_DIALOG(name) }; }
#include \"${def_file}\"
#undef RVX_DIALOG
#undef RVX_CONTROL
#undef RVX_END_DIALOG
#define RVX_DIALOG(name, id, width, height, look, caption) \\
  namespace name { inline constexpr rvx::platform::DialogDescription kDescription{ \\
    id, {0, 0, width, height}, rvx::platform::DialogLook::look, caption, kControls}; }
#define RVX_CONTROL(name, id, kind, text, x, y, width, height, data)
#define RVX_END_DIALOG(name)
#include \"${def_file}\"
#undef RVX_DIALOG
#undef RVX_END_DIALOG
// Every dialog of the program, in the order of the definition.
#define RVX_DIALOG(name, id, width, height, look, caption) &name::kDescription,
#define RVX_END_DIALOG(name)
inline constexpr const rvx::platform::DialogDescription* kAllDialogs[] = {
#include \"${def_file}\"
};
#undef RVX_DIALOG
#undef RVX_CONTROL
#undef RVX_END_DIALOG
}  // namespace ${namespace}
")
  file(COPY_FILE ${out}.tmp ${out} ONLY_IF_DIFFERENT)
  file(REMOVE ${out}.tmp)
endfunction()
