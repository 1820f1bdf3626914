// Program files as the user opens them: any bytes are decoded as a whole file. A load gives one
// of the load results; a file that loads holds only the program's values, each id once, and the
// program they make (when whole) is written back to a file that loads to the same values.

#include "DriverCommon/PresetFile.h"
#include "FuzzCheck.h"
#include "Utilities/Storage/Array.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

using SV::PresetFile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SV::Array<SV::ParamValue> values;
    const int32_t result = PresetFile::Decode(std::span<const uint8_t>(data, size), values);
    SV_FUZZ_CHECK(result <= 0 && result >= PresetFile::kWrongDevice);
    if (result != PresetFile::kLoaded) {
        SV_FUZZ_CHECK(values.GetCount() == 0);
        return 0;
    }
    SV_FUZZ_CHECK(values.GetCount() <= PresetFile::kValueCount);
    SV::Array<SV::ParamValue> program;
    program.SetCount(PresetFile::kValueCount);
    bool seen[PresetFile::kValueCount] = {};
    for (int32_t index = 0; index < values.GetCount(); ++index) {
        const SV::ParamValue& entry = *values.At(index);
        const int32_t id = entry.descriptor.id;
        SV_FUZZ_CHECK(id >= 0 && id < PresetFile::kValueCount && !seen[id]);
        seen[id] = true;
        SV_FUZZ_CHECK(entry.value.GetType() == SV::Variant::kBlob);
        SV_FUZZ_CHECK(entry.value.GetLength() == PresetFile::kValueSizes[id]);
        *program.At(id) = entry;
    }
    if (values.GetCount() != PresetFile::kValueCount) {
        return 0;
    }
    std::vector<uint8_t> written;
    SV_FUZZ_CHECK(PresetFile::Encode(program, written));
    SV_FUZZ_CHECK(written.size() == 122);
    SV::Array<SV::ParamValue> again;
    SV_FUZZ_CHECK(PresetFile::Decode(written, again) == PresetFile::kLoaded);
    SV_FUZZ_CHECK(again.GetCount() == PresetFile::kValueCount);
    for (int32_t id = 0; id < PresetFile::kValueCount; ++id) {
        SV_FUZZ_CHECK(again.At(id)->descriptor.id == id);
        SV_FUZZ_CHECK(again.At(id)->value.IsEqual(program.At(id)->value));
    }
    return 0;
}
