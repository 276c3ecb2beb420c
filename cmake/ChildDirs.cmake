# Adds every direct subdirectory of DIR that has its own CMakeLists.txt, so a
# new suite, stand-in or benchmark joins the build without editing its parent.
function(add_child_dirs dir)
  file(GLOB _children LIST_DIRECTORIES true CONFIGURE_DEPENDS ${dir}/*)
  foreach(_child IN LISTS _children)
    if(IS_DIRECTORY ${_child} AND EXISTS ${_child}/CMakeLists.txt)
      add_subdirectory(${_child})
    endif()
  endforeach()
endfunction()
