# Script mode (cmake -DIN=... -DOUT=... -P RcStrings.cmake): turns a string-table .def into the
# resource compiler's spelling. The only difference is the embedded quote, which the resource
# compiler wants as "" (it reads \" too, but warns on every one); every other escape is left to it.
string(ASCII 1 placeholder)
file(READ "${IN}" text)
string(REPLACE "\\\\" "${placeholder}" text "${text}")
string(REPLACE "\\\"" "\"\"" text "${text}")
string(REPLACE "${placeholder}" "\\\\" text "${text}")
file(WRITE "${OUT}.tmp" "${text}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
