# Sanitizer builds: KXCX_SANITIZE=address gives address+undefined, =thread gives thread.
if(KXCX_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(KXCX_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  # Boost.Asio uses standalone fences, which ThreadSanitizer does not model; GCC warns about each.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-tsan)
  endif()
  add_link_options(-fsanitize=thread)
elseif(NOT KXCX_SANITIZE STREQUAL "")
  message(FATAL_ERROR "KXCX_SANITIZE must be empty, 'address' or 'thread' (got '${KXCX_SANITIZE}')")
endif()
# Sanitizer builds need line numbers in their reports, not full debug information, and -O1 is what
# the sanitizers are made for: together they compile in less than half the time of -O2 -g.
if(NOT KXCX_SANITIZE STREQUAL "")
  add_compile_options(-O1 -g1)
endif()

# Fuzz builds instrument all code for coverage and check it with address+undefined.
if(KXCX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
