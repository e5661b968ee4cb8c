# The portable core, the simulator and their native tests at 32 bits: the
# settings file, timing blocks and driver requests must read the same at both
# word sizes. These machines run no 32-bit code natively; the tests run under
# user-mode emulation (qemu-i386 with the cross C library as its prefix, what
# QEMU_LD_PREFIX=/usr/i686-linux-gnu would also give).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_FIND_ROOT_PATH /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 -L /usr/i686-linux-gnu)
