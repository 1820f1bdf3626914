// The tagged value that carries parameter values between the model, the engine, the device-control
// binding, the MIDI exchange and the editor, and its serialised record: the unit of parameter lists
// and of program files, so the record's bytes never change.
#pragma once

#include <cstdint>

namespace SV {

class Variant
{
public:
    // Type codes. Types 12 and 13 reference data the Variant does not own; 14 to 16 own a block.
    static constexpr int32_t kEmpty = 0;
    static constexpr int32_t kBool = 1;
    static constexpr int32_t kInt8 = 2;
    static constexpr int32_t kUInt8 = 3;
    static constexpr int32_t kInt16 = 4;
    static constexpr int32_t kUInt16 = 5;
    static constexpr int32_t kInt32 = 6;
    static constexpr int32_t kUInt32 = 7;
    static constexpr int32_t kFloat = 8;
    static constexpr int32_t kDouble = 9;
    static constexpr int32_t kInt64 = 10;
    static constexpr int32_t kUInt64 = 11;
    static constexpr int32_t kReference = 12;
    static constexpr int32_t kHiddenReference = 13; // not readable through GetConstData
    static constexpr int32_t kBlob = 14;
    static constexpr int32_t kString = 15; // 8-bit text; the length counts the terminating 0
    static constexpr int32_t kList = 16;   // serialised records back to back

    // Record head: total size (12 + payload), version, type code; 32-bit little-endian each.
    static constexpr uint32_t kRecordHeadSize = 12;
    static constexpr uint32_t kRecordVersion = 1;

    Variant() = default;
    // Copies are deep (Assign); a move hands the block over and leaves the source empty.
    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    virtual ~Variant();

    // Converting getters: every type answers every getter. Integers are cut to the getter's
    // width, floats rounded half away from zero, data read from its first bytes (missing bytes
    // as 0), a string gives its length without the terminator and a list 0 (true to GetBool when
    // it has data); an empty Variant gives 0 and false.
    virtual bool GetBool() const;
    virtual uint8_t GetUInt8() const;
    virtual int16_t GetInt16() const;
    virtual int32_t GetInt32() const;
    virtual int64_t GetInt64() const;
    virtual int8_t GetInt8() const;
    virtual uint16_t GetUInt16() const;
    virtual uint32_t GetUInt32() const;
    virtual uint64_t GetUInt64() const;
    virtual float GetFloat() const;
    virtual double GetDouble() const;

    // The scalar inside the Variant with its width, or the data and length of types 12 to 16;
    // null and 0 for an empty Variant. GetConstData gives null and 0 for types 13 and 16 too.
    virtual uint8_t* GetData(uint32_t& size);
    virtual const uint8_t* GetConstData(uint32_t& size) const;
    // The text of a string Variant, else null.
    virtual const char* GetString() const;

    int32_t GetType() const { return mType; }
    // Bytes of data of types 12 to 16; 0 for scalars.
    uint32_t GetLength() const { return mLength; }

    // Frees an owned block and makes the Variant empty.
    void Clear();

    // Each setter replaces the whole value and answers the resulting type code; input it cannot
    // take (a scalar of the wrong size, null data with a non-zero size, an unknown type, a block
    // that cannot be allocated) leaves the Variant empty and answers 0. The source may be this
    // Variant's own data.
    int32_t SetData(int32_t type, const void* data, uint32_t size);
    int32_t SetString(const char* text);
    // A size of 0 still gives a (0-byte) block.
    int32_t SetBlob(const void* data, uint32_t size);
    // A list of the items' records in order; no items give an empty list without a block.
    int32_t SetList(const Variant* items, int32_t count);
    int32_t SetList(const Variant* const* items, int32_t count);

    // Deep copy; types 12 and 13 share the other's data. Answers the type (0 when a block could
    // not be allocated).
    int32_t Assign(const Variant& other);
    // Same type and same content; floats compare as numbers, so NaN equals nothing.
    bool IsEqual(const Variant& other) const;
    // The order of Variants that keeps sub-parts sorted. Within a type: numbers by value (NaN
    // before and after nothing), data by length and then byte by byte (string characters
    // signed), lists by their first unequal entry and then by entry count. Across types: the
    // empty Variant first; numbers by value; anything else by its bytes (a number's 8 stored
    // bytes) as data is ordered.
    bool IsLess(const Variant& other) const;
    // A negative int8, int16, int32, int64, float or double; false for every other type.
    bool IsNegative() const;

    // Number of records of a list: the walk over their size words ends where fewer than 5 bytes
    // are left or at a record whose size word is below 12 (counted, but it cannot be stepped
    // over). 0 for anything that is not a list of more than 4 bytes.
    int32_t GetListItemCount() const;
    // Decodes record `index` (taken as unsigned) of a list into `item`: 0, or -1 with `item`
    // empty when this is no list, there is no such record or the record does not decode.
    [[nodiscard]] int32_t GetListItem(int32_t index, Variant& item) const;

    // Writes the Variant's record: its total size, or E_FAIL when the target is null or too
    // small, or for a reference (type 12 or 13) without data.
    [[nodiscard]] static int32_t Serialize(const Variant& variant, uint8_t* target,
                                           uint32_t targetSize);
    // Reads one record of `available` bytes (bytes beyond its size word are ignored): 0, or
    // E_FAIL with `variant` empty for a record that is malformed or does not fit its type.
    [[nodiscard]] static int32_t Deserialize(Variant& variant, const uint8_t* record,
                                             uint32_t available);

protected:
    // Where owned blocks come from and go to (array new and delete of bytes). A subclass that
    // replaces them calls Clear in its own destructor, as the base's destructor no longer reaches
    // them; blocks move between Variants, so every pair must be interchangeable.
    virtual uint8_t* AllocateData(uint32_t size);
    virtual void FreeData(uint8_t* data);

    // Makes the Variant a reference (type 12 or 13) to data it does not own, for classes that
    // expose memory of their own; null data gives a length of 0. Answers the type, or 0.
    int32_t SetReference(int32_t type, uint8_t* data, uint32_t size);

private:
    bool OwnsBlock() const { return mType >= kBlob && mType <= kList; }
    // Stores a new owned block (or none) after the old one is gone.
    void TakeBlock(int32_t type, uint8_t* block, uint32_t length);
    // A copy of `size` bytes in a block of this Variant's allocator; null when it fails.
    uint8_t* CopyToBlock(const void* data, uint32_t size);
    template <class ItemAt>
    int32_t BuildList(int32_t count, ItemAt itemAt);
    // The first bytes of the data of types 12 to 14, little-endian; missing bytes read as 0.
    uint64_t DataPrefix(uint32_t width) const;
    // The integer the integral getters cut to their width.
    uint64_t IntegerBits() const;
    template <class T>
    T Stored() const;
    // GetFloat and GetDouble: numbers converted, and data through the integral getter
    // `dataAsWhole` (the one of the real type's width).
    template <class Real, class Whole>
    Real ConvertedReal(Whole (Variant::*dataAsWhole)() const) const;
    // IsLess at a depth of nested lists; deeper lists than a sub-part ever has compare by their
    // bytes, so a crafted record cannot exhaust the stack.
    bool IsLessAt(const Variant& other, int32_t depth) const;
    // The bytes IsLess orders Variants of different kinds by.
    const uint8_t* OrderBytes(uint32_t& length) const;

    // The scalar, stored from its first byte with the rest 0.
    alignas(8) uint8_t mValue[8] = {};
    // The data of types 12 to 16 (owned for 14 to 16; none for an empty list).
    uint8_t* mData = nullptr;
    uint32_t mLength = 0;
    int32_t mType = kEmpty;
};

} // namespace SV
