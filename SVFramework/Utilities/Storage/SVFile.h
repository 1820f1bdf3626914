// The framework's file: a descriptor opened from a folder and a file name, read and written at
// explicit offsets or the current position, optionally deleted when it is closed. The
// descriptor lives in a reference-counted holder; only the file that holds the holder's one
// reference closes it.
#pragma once

#include "ObjectBase/Holder.h"
#include "ObjectBase/RCPtr.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace SV {

class File
{
public:
    // Open flags; other bits are ignored.
    static constexpr uint32_t kReadFlag = 0x10000; // what the loaders pass: read-only
    static constexpr uint32_t kWritable = 0x20000;
    static constexpr uint32_t kExclusive = 0x40000; // with kCreate: fail when the file exists
    static constexpr uint32_t kCreate = 0x80000;
    static constexpr uint32_t kDeleteOnClose = 0x100000;

    // Opens at once; a failed open leaves the file closed without saying so (see IsOpen).
    File(const WideString& folder, const WideString& name, uint32_t flags);
    virtual ~File();

    // The path is folder, separator, name; with an empty name the folder is the whole path.
    // 1 when the file is open already, 0 when it opened, E_FAIL when it did not; an empty path
    // throws.
    virtual int32_t Open(const WideString& folder, const WideString& name, uint32_t flags);
    // Closes the descriptor (and deletes the file with kDeleteOnClose) when this file holds the
    // holder's only reference; never fails.
    virtual int32_t Close();
    // At `offset` from the start, or at the current position for -1. The number of bytes read,
    // 0 at the end of the file; throws on a failed seek or read.
    virtual int32_t Read(void* buffer, uint32_t count, int32_t offset);
    // Throws for a file opened without kWritable, and on a failed seek or write.
    virtual int32_t Write(const void* buffer, uint32_t count, int32_t offset);
    // Origin 0 start, 1 current position, 2 end; the new position or -1.
    virtual int32_t Seek(int32_t offset, int32_t origin);

    // The size in bytes; throws when the file's status cannot be read.
    int32_t GetLength() const;

    bool IsOpen() const { return !mDescriptor.IsEmpty(); }
    const ConstRCPtr<LHolder<int>>& GetDescriptor() const { return mDescriptor; }
    const WideString& GetName() const { return mName; }
    const WideString& GetPath() const { return mPath; }
    uint32_t GetFlags() const { return mFlags; }

private:
    // -1 while closed, so every call on a closed file fails as a bad descriptor.
    int32_t Descriptor() const;
    void SeekForTransfer(int32_t offset, const char* error) const;

    ConstRCPtr<LHolder<int>> mDescriptor;
    WideString mName;
    WideString mPath;
    uint32_t mFlags = 0;
};

} // namespace SV
