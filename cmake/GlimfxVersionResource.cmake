# The version resource of a Windows binary: the properties Windows shows for
# the file. Each binary's folder adds its own. The one version number is
# project(VERSION) in the top-level CMakeLists.txt.
if(WIN32)
  enable_language(RC)
endif()

function(glimfx_add_version_resource target file_name file_type language description)
  if(NOT WIN32)
    return()
  endif()
  set(GLIMFX_RC_NAME ${target})
  set(GLIMFX_RC_FILENAME ${file_name})
  set(GLIMFX_RC_FILETYPE ${file_type})
  set(GLIMFX_RC_LANGUAGE ${language})
  set(GLIMFX_RC_DESCRIPTION "${description}")
  set(rc ${PROJECT_BINARY_DIR}/version/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
