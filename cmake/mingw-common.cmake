# The -posix variants: the default win32 thread model lacks std::thread/mutex.
set(CMAKE_C_COMPILER ${ZENQAR_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZENQAR_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZENQAR_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZENQAR_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static: no mingw runtime DLL has to sit beside the program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
