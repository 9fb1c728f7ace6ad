# Warnings are errors in every target of the project.
function(gantline_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX)
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Werror
      -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
      -Wold-style-cast -Woverloaded-virtual -Wcast-qual -Wformat=2)
  endif()
endfunction()
