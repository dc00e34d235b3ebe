# Runs locale_tests under the C locale and under de_DE.UTF-8 and compares
# every file the two runs wrote, byte for byte. Fails when the German locale
# is missing (the comparison would prove nothing) or any file differs.
# cmake -DPROBE=<locale_tests> -DOUT=<folder> -P CompareLocales.cmake
file(REMOVE_RECURSE ${OUT})
foreach(locale C.UTF-8 de_DE.UTF-8)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=${locale} LANG=${locale} LANGUAGE=
            QT_QPA_PLATFORM=offscreen ${PROBE} ${OUT}/${locale}
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "locale_tests failed under ${locale}: ${status}")
  endif()
endforeach()

file(READ ${OUT}/de_DE.UTF-8/locale.txt german)
if(NOT german MATCHES "^de_DE.* 1,25")
  message(FATAL_ERROR "The German locale was not in force (${german}): install it (localedef -i de_DE -f UTF-8 de_DE.UTF-8)")
endif()

file(GLOB_RECURSE written RELATIVE ${OUT}/C.UTF-8 ${OUT}/C.UTF-8/*)
list(REMOVE_ITEM written locale.txt)
file(GLOB_RECURSE written_de RELATIVE ${OUT}/de_DE.UTF-8 ${OUT}/de_DE.UTF-8/*)
list(REMOVE_ITEM written_de locale.txt)
list(SORT written)
list(SORT written_de)
if(NOT written STREQUAL written_de)
  message(FATAL_ERROR "The runs wrote different files:\n  ${written}\n  ${written_de}")
endif()
list(LENGTH written count)
if(count LESS 9)
  message(FATAL_ERROR "Only ${count} files were written: ${written}")
endif()
foreach(name ${written})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
                          ${OUT}/C.UTF-8/${name} ${OUT}/de_DE.UTF-8/${name}
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${name} differs between the C and the German locale")
  endif()
endforeach()
message(STATUS "${count} files equal under both locales: ${written}")
file(REMOVE_RECURSE ${OUT})
