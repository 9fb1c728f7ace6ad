// The few Windows types that cross the host interface. On Windows they are
// the platform's own; elsewhere they are plain stand-ins of the same width,
// so that the plug-in source is the same on every platform.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#  ifndef WIN32_LEAN_AND_MEAN
#    define WIN32_LEAN_AND_MEAN
#  endif
#  ifndef NOMINMAX
#    define NOMINMAX
#  endif
#  include <windows.h>
#else
struct HINSTANCE__;
struct HWND__;
typedef HINSTANCE__* HINSTANCE;
typedef HWND__* HWND;
typedef int BOOL;
typedef unsigned int UINT;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;
typedef std::uint32_t DWORD;
typedef void* LPVOID;
typedef std::intptr_t INT_PTR;
typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);
#  ifndef TRUE
#    define TRUE 1
#  endif
#  ifndef FALSE
#    define FALSE 0
#  endif
#  define WM_DESTROY 0x0002
#  define WM_INITDIALOG 0x0110
#  define WM_COMMAND 0x0111
#  define WM_MOUSEMOVE 0x0200
#  define WM_LBUTTONDOWN 0x0201
#  define WM_LBUTTONUP 0x0202
#  define WM_LBUTTONDBLCLK 0x0203
#  define WM_RBUTTONDOWN 0x0204
#  define DLL_PROCESS_DETACH 0
#  define DLL_PROCESS_ATTACH 1
#  define DLL_THREAD_ATTACH 2
#  define DLL_THREAD_DETACH 3
#  define SW_SHOW 5
#  define LOWORD(l) (static_cast<unsigned>(static_cast<std::uintptr_t>(l) & 0xffffu))
#  define HIWORD(l) (static_cast<unsigned>((static_cast<std::uintptr_t>(l) >> 16) & 0xffffu))
#  define MAKEWPARAM(lo, hi) \
    (static_cast<WPARAM>((static_cast<unsigned>(lo) & 0xffffu) | ((static_cast<unsigned>(hi) & 0xffffu) << 16)))
#endif
