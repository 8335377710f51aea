# AddressSanitizer + UndefinedBehaviorSanitizer for every target, on request.
if(ZIRARED_SANITIZE)
  if(MSVC)
    message(FATAL_ERROR "ZIRARED_SANITIZE is supported with GCC and Clang only")
  endif()
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
