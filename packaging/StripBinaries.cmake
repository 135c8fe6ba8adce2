# Run by CPack on the staged files just before it packs them: strips the
# programs as Debian's own packaging does (the symbol table, the debug
# information and the compiler's .comment and .note sections go), so the
# package holds the programs without their build-time ballast.
find_program(ORVANDEL_STRIP strip REQUIRED)
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
foreach(program IN LISTS staged)
  file(READ "${program}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46") # ELF
    execute_process(
      COMMAND "${ORVANDEL_STRIP}" --remove-section=.comment --remove-section=.note --strip-unneeded "${program}"
      COMMAND_ERROR_IS_FATAL ANY)
    message(STATUS "stripped ${program}")
  endif()
endforeach()
