if(DIZADI_SANITIZE AND DIZADI_TSAN)
    message(FATAL_ERROR "DIZADI_SANITIZE and DIZADI_TSAN exclude each other")
endif()
if(DIZADI_SANITIZE)
    # vptr is left out: Qt's own objects cross shared-library boundaries where
    # the check reports type mismatches that are not faults of this program.
    set(_san -fsanitize=address,undefined -fno-sanitize=vptr -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_compile_options(${_san})
    add_link_options(${_san})
endif()
if(DIZADI_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()
