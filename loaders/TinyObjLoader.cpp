// The implementation of the .obj reader library, compiled into the host
// layer itself so that every platform's build uses the same source.
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>
