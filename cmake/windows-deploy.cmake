# A Windows build of a Qt program: what it loads is put beside it, as in the shipped folder, so
# that it and the window's tests run from the build tree (under Wine too): Qt's DLLs, the
# plugins for the Windows desktop, its style and the offscreen platform of the tests, and the
# compiler's runtime DLLs that Qt's DLLs need. With PRINTING (tallyx-view): Qt's Print Support,
# which holds the Windows printers and the print dialog itself, and the minimal platform that
# its report without a window paints on.
function(tallyx_deploy_beside target)
  cmake_parse_arguments(PARSE_ARGV 1 deploy "PRINTING" "" "")
  # The plugins' targets are known only where Qt was looked up.
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  set(dir $<TARGET_FILE_DIR:${target}>)
  set(dlls $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>)
  set(platforms $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
                $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin>)
  if(deploy_PRINTING)
    find_package(Qt6 REQUIRED COMPONENTS PrintSupport)
    list(APPEND dlls $<TARGET_FILE:Qt6::PrintSupport>)
    list(APPEND platforms $<TARGET_FILE:Qt6::QMinimalIntegrationPlugin>)
  endif()
  if(MINGW)
    foreach(name libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
      execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
                      OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
      if(IS_ABSOLUTE "${found}")
        list(APPEND dlls "${found}")
      endif()
    endforeach()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}/platforms ${dir}/styles
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dlls} ${dir}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${platforms} ${dir}/platforms
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> ${dir}/styles
    VERBATIM)
endfunction()
