# Fails when a shipped program is larger than its limit or still carries
# symbols or debug sections. The resources (icon, manifest, version, about
# 7 KB) are counted beside the limit: it holds the file without its .rsrc
# section as the file stores it (rounded to the 512-byte file alignment).
#   cmake -DOBJDUMP=<objdump> -DPROGRAMS=<a.exe=limit;b.exe=limit> -P check_size.cmake
foreach(entry ${PROGRAMS})
  string(REGEX MATCH "^(.*)=([0-9]+)$" _ "${entry}")
  set(program ${CMAKE_MATCH_1})
  set(limit ${CMAKE_MATCH_2})
  if(NOT EXISTS "${program}")
    message(SEND_ERROR "${program}: missing")
    continue()
  endif()
  file(SIZE ${program} size)
  # objdump -f names HAS_SYMS or HAS_DEBUG while a symbol table or debug
  # sections are left; -h lists the sections.
  execute_process(COMMAND ${OBJDUMP} -f -h ${program} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(SEND_ERROR "${program}: ${OBJDUMP} cannot read it")
  elseif(dump MATCHES "HAS_DEBUG|[ \t]\\.debug_")
    message(SEND_ERROR "${program}: carries debug sections (not stripped)")
  elseif(dump MATCHES "HAS_SYMS")
    message(SEND_ERROR "${program}: carries a symbol table (not stripped)")
  else()
    set(resources 0)
    if(dump MATCHES "\\.rsrc[ \t]+([0-9a-fA-F]+)")
      math(EXPR resources "((0x${CMAKE_MATCH_1} + 511) / 512) * 512")
    endif()
    math(EXPR counted "${size} - ${resources}")
    if(counted GREATER limit)
      message(SEND_ERROR "${program}: ${counted} bytes without its ${resources} bytes of resources, "
                         "more than the ${limit} allowed")
    else()
      message(STATUS "${program}: ${counted} bytes and ${resources} of resources (limit ${limit}), stripped")
    endif()
  endif()
endforeach()
