add_compile_options(-Wall -Wextra)

# GCC 12 misreads inlined std::vector copies at -O2 and above as out-of-bounds accesses (GCC bugs
# 105705, 107852). Those diagnostics carry no signal there; the ASan build checks bounds for real.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    add_compile_options(-Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread)
endif()
if(ROLVIK_WERROR)
    add_compile_options(-Werror)
endif()

if(ROLVIK_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(ROLVIK_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()

if(ROLVIK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "The fuzz targets need clang (configure with CXX=clang++)")
    endif()
    # Instrument the libraries for coverage; each fuzz target links the fuzzer's own main.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
