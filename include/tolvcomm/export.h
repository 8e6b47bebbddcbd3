// Marks the library's few exported entry points. Everything else is hidden.
#pragma once

#if defined(TOLV_BUILDING_LIBRARY)
#define TOLV_API __attribute__((visibility("default")))
#else
#define TOLV_API
#endif
