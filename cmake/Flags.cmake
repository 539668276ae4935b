# Compiler settings as INTERFACE targets, so that every target states what it uses.
add_library(zr_flags INTERFACE)
target_compile_options(zr_flags INTERFACE -Wall -Wextra -Wno-unused-parameter)

if(WIN32)
  target_compile_definitions(zr_flags INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                               _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800)
  # Static runtime: the outputs need no MinGW DLL beside them.
  target_link_options(zr_flags INTERFACE -static -static-libgcc -static-libstdc++)
  # Release binaries ship without their symbol tables.
  target_link_options(zr_flags INTERFACE $<$<CONFIG:Release>:-s>)
else()
  option(ZR_SANITIZE "Build the native tests with AddressSanitizer and UBSan" ON)
  if(ZR_SANITIZE)
    # GCC leaves float-to-int conversions out of "undefined"; the gamma arithmetic needs them checked.
    target_compile_options(zr_flags INTERFACE -fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
                                              -fno-sanitize-recover=undefined,float-cast-overflow)
    target_link_options(zr_flags INTERFACE -fsanitize=address,undefined,float-cast-overflow)
    # Bounds-checked operator[] and front()/back() of the standard containers and strings.
    target_compile_definitions(zr_flags INTERFACE _GLIBCXX_ASSERTIONS)
  endif()
endif()

# Windows GUI programs: wWinMain, the GUI subsystem.
add_library(zr_winapp INTERFACE)
if(WIN32)
  target_link_options(zr_winapp INTERFACE -municode -mwindows)
endif()
