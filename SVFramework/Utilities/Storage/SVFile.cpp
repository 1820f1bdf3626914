#include "Utilities/Storage/SVFile.h"

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/Paths.h"

#include "FileSystem.h"
#include "ResultCodes.h"

#include <limits>
#include <stdexcept>

namespace SV {
namespace {

constexpr int64_t kMaxInt32 = std::numeric_limits<int32_t>::max();

[[noreturn]] void ThrowRuntimeError(const char* text)
{
    throw Exception<std::runtime_error>(text);
}

} // namespace

File::File(const WideString& folder, const WideString& name, uint32_t flags)
{
    Open(folder, name, flags);
}

File::~File()
{
    Close();
}

int32_t File::Open(const WideString& folder, const WideString& name, uint32_t flags)
{
    if (IsOpen()) {
        return S_FALSE;
    }
    if (!name.IsEmpty()) {
        mPath = JoinPath(folder, name);
        mName = name;
    } else {
        if (folder.IsEmpty()) {
            ThrowRuntimeError("Runtime Error : invalid pathname : SV::File::Open : "
                              "Utilities\\Storage\\SVFile : Line 293");
        }
        mPath = folder;
    }
    mFlags = flags;

    uint32_t mode = svp::kOpenReadOnly;
    if ((flags & kWritable) != 0) {
        mode |= svp::kOpenReadWrite;
    }
    if ((flags & kCreate) != 0) {
        mode |= svp::kOpenCreate;
        if ((flags & kExclusive) != 0) {
            mode |= svp::kOpenExclusive;
        }
    }
    const int32_t descriptor = svp::OpenFile(ToPlatformPath(mPath), mode);
    if (descriptor < 0) {
        return E_FAIL;
    }
    mDescriptor = new LHolder<int>(descriptor);
    return S_OK;
}

int32_t File::Close()
{
    if (mDescriptor.IsEmpty() || mDescriptor->GetRefCount() != 1) {
        return S_OK;
    }
    svp::CloseFile(mDescriptor->Get());
    if ((mFlags & kDeleteOnClose) != 0) {
        svp::DeleteFile(ToPlatformPath(mPath));
    }
    mDescriptor = nullptr;
    return S_OK;
}

int32_t File::Read(void* buffer, uint32_t count, int32_t offset)
{
    SeekForTransfer(offset, "Runtime Error : lseek : SV::File::Read : "
                            "Utilities\\Storage\\SVFile : Line 471");
    // The count is a signed quantity for the runtime's read; a larger one is refused as it is.
    const int64_t read = count > kMaxInt32 ? -1 : svp::ReadFile(Descriptor(), buffer, count);
    if (read < 0) {
        ThrowRuntimeError("Runtime Error : read : SV::File::Read : "
                          "Utilities\\Storage\\SVFile : Line 498");
    }
    return static_cast<int32_t>(read);
}

int32_t File::Write(const void* buffer, uint32_t count, int32_t offset)
{
    if ((mFlags & kWritable) == 0) {
        ThrowRuntimeError("Runtime Error : file is read only : SV::File::Write : "
                          "Utilities\\Storage\\SVFile : Line 593");
    }
    SeekForTransfer(offset, "Runtime Error : lseek : SV::File::Write : "
                            "Utilities\\Storage\\SVFile : Line 602");
    const int64_t written = count > kMaxInt32 ? -1 : svp::WriteFile(Descriptor(), buffer, count);
    if (written < 0) {
        ThrowRuntimeError("Runtime Error : write : SV::File::Write : "
                          "Utilities\\Storage\\SVFile : Line 638");
    }
    return static_cast<int32_t>(written);
}

int32_t File::Seek(int32_t offset, int32_t origin)
{
    const int64_t position = svp::SeekFile(Descriptor(), offset, origin);
    // A position the 32-bit answer cannot carry is reported as a failure, not cut.
    return position < 0 || position > kMaxInt32 ? -1 : static_cast<int32_t>(position);
}

int32_t File::GetLength() const
{
    const int64_t size = svp::GetFileSize(Descriptor());
    if (size < 0 || size > kMaxInt32) {
        ThrowRuntimeError("Runtime Error : fstat : SV::File::GetLength : "
                          "Utilities\\Storage\\SVFile : Line 112");
    }
    return static_cast<int32_t>(size);
}

int32_t File::Descriptor() const
{
    return mDescriptor.IsEmpty() ? -1 : mDescriptor->Get();
}

void File::SeekForTransfer(int32_t offset, const char* error) const
{
    if (offset == -1) {
        return;
    }
    if (svp::SeekFile(Descriptor(), offset, svp::kSeekStart) != offset) {
        ThrowRuntimeError(error);
    }
}

} // namespace SV
