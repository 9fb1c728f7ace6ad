# Coverage and sanitizer builds apply to every target of the tree.
if(GANTLINE_COVERAGE)
  add_compile_options(--coverage -O0)
  add_link_options(--coverage)
endif()
if(GANTLINE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
# ThreadSanitizer: the format library's workers, checked by its tests.
if(GANTLINE_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
# Fuzz builds: every library carries libFuzzer's coverage feedback and the
# sanitizers, so that a finding anywhere below a fuzz target stops it.
if(GANTLINE_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
