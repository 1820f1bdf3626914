// Where every buffer of the program takes its memory from.
#pragma once

#include <cstddef>

namespace SV {

class IAllocator
{
public:
    virtual ~IAllocator() = default;
    virtual void* Malloc(size_t size) = 0;
    virtual void* Calloc(size_t count, size_t elementSize) = 0;
    virtual void* Realloc(void* block, size_t size) = 0;
    virtual void Free(void* block) = 0;
};

// The runtime library's heap.
class SystemAllocator : public IAllocator
{
public:
    void* Malloc(size_t size) override;
    void* Calloc(size_t count, size_t elementSize) override;
    void* Realloc(void* block, size_t size) override;
    void Free(void* block) override;
};

// The one process-wide allocator, created on first use and never destroyed.
IAllocator* GetSystemAllocator();

} // namespace SV
