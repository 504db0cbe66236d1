# Warnings, sanitizers and platform flags shared by every target, through one interface library.
add_library(kelvane_options INTERFACE)
target_compile_options(kelvane_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                                 -Wno-sign-conversion)

if(KELVANE_SANITIZE)
    target_compile_options(kelvane_options INTERFACE -fsanitize=address,undefined
                                                     -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(kelvane_options INTERFACE -fsanitize=address,undefined)
endif()

if(WIN32)
    # ANSI Win32 entry points throughout: paths are byte strings in the ANSI code page.
    target_compile_definitions(kelvane_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX
                                                         _WIN32_WINNT=0x0601)
    # Statically linked, so the program needs no MinGW DLL beside it.
    target_link_options(kelvane_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$")
    # The 32-bit build computes in SSE2 registers like the 64-bit one: IEEE single and double
    # arithmetic rounded once, never through the x87's extended precision.
    target_compile_options(kelvane_options INTERFACE -msse2 -mfpmath=sse)
endif()
