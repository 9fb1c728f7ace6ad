# The Python interpreter of the module and of the tests that decode
# pictures with numpy: the first python3 on the PATH that has numpy
# (Debian's python3 and python3-numpy), ahead of any other python3 there
# that lacks it. Every native build chooses it, the sanitizer builds too,
# which build no module but run the same tests.
function(gantline_python_has_numpy result candidate)
  execute_process(COMMAND ${candidate} -c "import numpy" RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
  if(failed)
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()
if(NOT Python3_EXECUTABLE)
  find_program(GANTLINE_PYTHON NAMES python3 VALIDATOR gantline_python_has_numpy)
  if(GANTLINE_PYTHON)
    set(Python3_EXECUTABLE ${GANTLINE_PYTHON} CACHE FILEPATH "The Python that has numpy")
  endif()
endif()
