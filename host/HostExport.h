// Symbol visibility of the host layer. The host layer is a shared library
// (a DLL on Windows) that plug-ins import from, the way a plug-in imports
// from its host application's own libraries.
#pragma once

#if defined(_WIN32)
#  if defined(GANTLINE_HOST_BUILD)
#    define HOST_API __declspec(dllexport)
#  elif defined(GANTLINE_HOST_STATIC)
#    define HOST_API
#  else
#    define HOST_API __declspec(dllimport)
#  endif
#else
#  define HOST_API __attribute__((visibility("default")))
#endif
