// The bytes of a program file (".brv"): a header of three little-endian words (format version 1,
// device identity 0, 0) and one record per parameter value, each a length word, a reserved word,
// the parameter id and the value's serialised Variant record. Encoding and decoding only: the
// file itself is read and written by the program-file manager.
#pragma once

#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/ParamValues.h"

#include <cstdint>
#include <span>
#include <vector>

namespace SV {

class PresetFile
{
public:
    // Load results.
    static constexpr int32_t kLoaded = 0;
    static constexpr int32_t kOlderFormat = -1;
    static constexpr int32_t kNewerFormat = -2;
    static constexpr int32_t kCorrupt = -3;
    static constexpr int32_t kWrongDevice = -4;
    static constexpr int32_t kTranslationFailure = -5;
    // The file could not be read at all: missing, refused or no regular file.
    static constexpr int32_t kUnreadable = -6;

    static constexpr uint32_t kFormatVersion = 1;
    static constexpr uint32_t kHeaderSize = 12;
    // Length, reserved word and parameter id lead every record.
    static constexpr uint32_t kRecordHeadSize = 12;
    // A program is the model's four values, ids 0 to 3, each a byte blob of its module's size.
    static constexpr int32_t kValueCount = 4;
    static constexpr uint32_t kValueSizes[kValueCount] = {2, 1, 10, 1};
    // A program file is 122 bytes; a file past this size is none, and is not read at all.
    static constexpr uint32_t kMaxFileSize = 64 * 1024;

    // The file of a program: the values in id order, numbered by their position. False, with
    // `bytes` empty, unless they are the four byte blobs of the program's sizes: a file the
    // reader would refuse is never written.
    [[nodiscard]] static bool Encode(const IArray<ParamValue>& values, std::vector<uint8_t>& bytes);

    // Checks the whole file before anything is taken from it. 0 with every record's value in
    // `values` (in file order, each with its id and an empty sub-part); otherwise the load
    // result, with `values` empty. The identity is checked before the version: a newer file of
    // another device is the wrong device. Only the ids 0 to 3 are taken, once each, as byte blobs
    // of their sizes; a file with only the header holds no values and loads.
    [[nodiscard]] static int32_t Decode(std::span<const uint8_t> bytes, Array<ParamValue>& values);
};

} // namespace SV
