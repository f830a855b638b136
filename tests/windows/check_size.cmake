# Fails when a shipped program is larger than its limit.
#   cmake -DLIMIT=<bytes> -DPROGRAMS=<a;b> -P check_size.cmake
set(status 0)
foreach(program ${PROGRAMS})
  file(SIZE ${program} size)
  if(size GREATER LIMIT)
    message(SEND_ERROR "${program}: ${size} bytes, more than the ${LIMIT} allowed")
  else()
    message(STATUS "${program}: ${size} bytes (limit ${LIMIT})")
  endif()
endforeach()
