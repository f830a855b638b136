# Further libFuzzer targets: pattern matching, the typed-path rules, and every
# decoder with and without decryption. Each gets a short smoke run under
# ctest -L fuzz, seeded from fuzz/seeds/<target> when that folder exists.
function(qr5_fuzz_target name)
  add_executable(${name} ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer
                         -fno-sanitize-recover=undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus-${name})
  file(MAKE_DIRECTORY ${corpus})
  set(seed_dirs)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/seeds/${name})
    list(APPEND seed_dirs ${CMAKE_CURRENT_SOURCE_DIR}/seeds/${name})
  endif()
  add_test(NAME ${name}_smoke
           COMMAND ${name} ${corpus} ${seed_dirs} -max_total_time=20 -max_len=65536 -timeout=20
                   -rss_limit_mb=2048)
  set_tests_properties(${name}_smoke PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()

set(archive_dir ${CMAKE_SOURCE_DIR}/src/archive)
qr5_fuzz_target(fuzz_match_pattern fuzz_match_pattern.cpp ${archive_dir}/match_pattern.cpp
                ${archive_dir}/path_utils.cpp ${CMAKE_SOURCE_DIR}/src/platform/platform.cpp)
qr5_fuzz_target(fuzz_valid_directory fuzz_valid_directory.cpp
                ${CMAKE_SOURCE_DIR}/src/pages/path_validation.cpp ${CMAKE_SOURCE_DIR}/src/platform/platform.cpp)
qr5_fuzz_target(fuzz_decoder_crypt fuzz_decoder_crypt.cpp ${archive_dir}/crc32.cpp ${archive_dir}/zip_crypto.cpp
                ${archive_dir}/unstore.cpp ${archive_dir}/unshrink.cpp ${archive_dir}/unreduce.cpp
                ${archive_dir}/explode.cpp ${archive_dir}/inflate.cpp ${archive_dir}/inflate_fast.cpp
                ${archive_dir}/processor.cpp ${archive_dir}/crc32_clmul.cpp ${archive_dir}/huffman_table.cpp)
