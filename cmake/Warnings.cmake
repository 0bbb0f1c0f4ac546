# Warnings are errors on every compiler this project builds with (GCC, clang, MinGW-w64).
function(rvx_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror -Wshadow -Wnon-virtual-dtor
                                           -Wcast-align -Wunused -Woverloaded-virtual -Wimplicit-fallthrough)
endfunction()
