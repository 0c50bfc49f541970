# Runs CHECK on the X display made by xvfb-run (with -noreset, so that the
# root window keeps its properties between clients), after giving the root
# window a work area of WORKAREA ("x, y, width, height", as a desktop with
# a panel announces it) when one is given.
if(WORKAREA)
  execute_process(COMMAND xprop -root -f _NET_SUPPORTED 32a -set _NET_SUPPORTED _NET_WORKAREA
                  RESULT_VARIABLE r1)
  execute_process(COMMAND xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "${WORKAREA}"
                  RESULT_VARIABLE r2)
  if(NOT r1 EQUAL 0 OR NOT r2 EQUAL 0)
    message(FATAL_ERROR "xprop could not set the work area")
  endif()
endif()
execute_process(COMMAND ${CHECK} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the window does not fit (${result})")
endif()
