// Marks the functions the host exports to its plugins, so that a plugin built with hidden
// visibility still imports them from the host library.
#pragma once

#if defined(_WIN32)
#if defined(HOSTSIM_BUILDING)
#define HOST_API __declspec(dllexport)
#else
#define HOST_API __declspec(dllimport)
#endif
#else
#define HOST_API __attribute__((visibility("default")))
#endif
