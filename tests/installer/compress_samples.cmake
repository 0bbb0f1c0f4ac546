# Compresses every sample in FOLDER with MSCOMPRESS (which writes NAME_ next to NAME), then
# notes the time in STAMP. Run by the build with cmake -P.
file(GLOB samples LIST_DIRECTORIES false "${FOLDER}/*")
list(FILTER samples EXCLUDE REGEX "(_|\\.stamp)$")
file(REMOVE ${STAMP})
foreach(sample IN LISTS samples)
  file(REMOVE "${sample}_")
  execute_process(COMMAND ${MSCOMPRESS} ${sample} RESULT_VARIABLE result)
  if(NOT result EQUAL 0 OR NOT EXISTS "${sample}_")
    message(FATAL_ERROR "mscompress failed on ${sample}")
  endif()
endforeach()
file(TOUCH ${STAMP})
