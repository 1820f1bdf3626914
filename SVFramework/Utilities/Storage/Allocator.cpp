#include "Utilities/Storage/Allocator.h"

#include <cstdlib>

namespace SV {

void* SystemAllocator::Malloc(size_t size)
{
    return std::malloc(size);
}

void* SystemAllocator::Calloc(size_t count, size_t elementSize)
{
    return std::calloc(count, elementSize);
}

void* SystemAllocator::Realloc(void* block, size_t size)
{
    return std::realloc(block, size);
}

void SystemAllocator::Free(void* block)
{
    std::free(block);
}

IAllocator* GetSystemAllocator()
{
    // Never destroyed: buffers owned by other process-wide objects may outlive any static.
    static IAllocator* const allocator = new SystemAllocator;
    return allocator;
}

} // namespace SV
