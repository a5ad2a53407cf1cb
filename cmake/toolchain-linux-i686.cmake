# A 32-bit x86 Linux build on an x86-64 machine: GCC's multilib (-m32), arithmetic in the x87 unit
# (the compiler's default for i686: no SSE math), the programs run under QEMU's user-mode
# emulator, since a 64-bit kernel may refuse 32-bit programs.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -march=i686")
set(CMAKE_CXX_FLAGS_INIT "-m32 -march=i686")
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)
# Libraries and headers of the i386 architecture (Debian's multiarch folders), never the
# machine's own 64-bit ones.
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

find_program(BRTL_QEMU_I386 qemu-i386 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${BRTL_QEMU_I386})

# The desktop suite's X11 client links the i386 X11 library (libx11-6:i386), whose link name
# comes only with its -dev package; that package would bring a second C development
# environment and newer versions of several of the machine's own packages, so the suite links
# the library's file itself. The headers are the machine's, the same for both architectures.
set(BRTL_I386_X11 /usr/lib/i386-linux-gnu/libX11.so.6)
if(EXISTS ${BRTL_I386_X11})
  set(X11_X11_LIB ${BRTL_I386_X11} CACHE FILEPATH "The i386 X11 client library")
endif()
