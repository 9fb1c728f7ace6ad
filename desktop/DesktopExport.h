// Symbol visibility of the desktop model's shared library.
#pragma once

#if defined(_WIN32)
#  if defined(GANTLINE_DESKTOP_BUILD)
#    define DESKTOP_API __declspec(dllexport)
#  else
#    define DESKTOP_API __declspec(dllimport)
#  endif
#else
#  define DESKTOP_API __attribute__((visibility("default")))
#endif
