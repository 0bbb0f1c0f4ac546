# String tables: each program's texts are defined once, in a .def file of RVX_STRING(id, name,
# "text") entries. The C++ side includes the .def directly; the Windows resource script includes
# it through the resource compiler's preprocessor, so no text is ever written twice.
function(rvx_string_table_header def_file namespace header_name)
  set(out ${CMAKE_BINARY_DIR}/generated/${header_name})
  file(WRITE ${out}.tmp
"// Generated from ${def_file}: ids and names of the built-in texts.
#pragma once
#include \"common/text/string_table.h\"
namespace ${namespace} {
enum StringId : int {
#define RVX_STRING(id, name, text) name = id,
#include \"${def_file}\"
#undef RVX_STRING
};
// The built-in texts, in id order as written in the table.
inline constexpr rvx::text::StringEntry kBuiltInStrings[] = {
#define RVX_STRING(id, name, text) {id, text},
#include \"${def_file}\"
#undef RVX_STRING
};
}  // namespace ${namespace}
")
  file(COPY_FILE ${out}.tmp ${out} ONLY_IF_DIFFERENT)
  file(REMOVE ${out}.tmp)
endfunction()
