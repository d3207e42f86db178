# The DLL's import libraries for hosts that link it by name: ld's, made
# right for 32-bit stdcall, and glimfx.lib in Microsoft's format. Sets
# GLIMFX_MSVC_IMPORT_LIB in the caller's scope.
function(glimfx_add_import_libraries target def)
  if(GLIMFX_X86_32)
    # ld's import library names the stdcall exports without their argument
    # bytes, but a host compiling glimfx.h refers to _BltAlphaFast@28. Replace
    # it with one that maps the decorated names onto the undecorated exports.
    set(import_def ${CMAKE_CURRENT_BINARY_DIR}/glimfx-import.def)
    file(WRITE ${import_def}
      "LIBRARY glimfx.dll\nEXPORTS\n  BltAlphaFast@28 @1\n  BltEfectoNoche@20 @2\n")
    string(REGEX REPLACE "windres$" "dlltool" dlltool "${CMAKE_RC_COMPILER}")
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${dlltool} --kill-at -d ${import_def} -D glimfx.dll -l $<TARGET_LINKER_FILE:${target}>
      VERBATIM)
  endif()

  # glimfx.lib, the import library in Microsoft's format for link.exe and
  # lld-link hosts. The 32-bit one takes the decorated names that glimfx.h
  # compiles to and, with -k, binds the undecorated exports.
  find_program(GLIMFX_LLVM_DLLTOOL llvm-dlltool DOC "llvm-dlltool, from Debian's llvm")
  if(NOT GLIMFX_LLVM_DLLTOOL)
    message(FATAL_ERROR "llvm-dlltool not found (Debian's llvm): run tools/bootstrap.sh")
  endif()
  if(GLIMFX_X86_32)
    set(msvc_import_def ${import_def})
    set(msvc_import_args -m i386 -k)
  else()
    set(msvc_import_def ${def})
    set(msvc_import_args -m i386:x86-64)
  endif()
  set(GLIMFX_MSVC_IMPORT_LIB ${CMAKE_CURRENT_BINARY_DIR}/glimfx.lib)
  add_custom_command(OUTPUT ${GLIMFX_MSVC_IMPORT_LIB}
    COMMAND ${GLIMFX_LLVM_DLLTOOL} ${msvc_import_args} -d ${msvc_import_def}
            -l ${GLIMFX_MSVC_IMPORT_LIB}
    DEPENDS ${msvc_import_def}
    VERBATIM)
  add_custom_target(glimfx_msvc_import_lib ALL DEPENDS ${GLIMFX_MSVC_IMPORT_LIB})
  set(GLIMFX_MSVC_IMPORT_LIB ${GLIMFX_MSVC_IMPORT_LIB} PARENT_SCOPE)
endfunction()
