// What the four leaf modules share: each owns exactly one parameter, a byte blob, at a fixed
// offset from the device's first id. A leaf checks that an id is its own, answers its default and
// routes reads and writes to the root; it never stores a value. The leaves differ only in their
// layout: offset, default bytes and the names their errors carry.
#pragma once

#include "RootModuleInterface.h"

#include <cstdint>
#include <memory>

// Translates a value of a system parameter into one of the module's own parameters. No leaf has a
// system parameter, so the translation always fails.
class SystemParamMap
{
public:
    explicit SystemParamMap(const LParameterizedModule& module) : mModule(module) {}

    // Sets `mapped` to the id before the module's first id with an empty sub-part and answers
    // -1: nothing maps; `mappedValue` is left as it is.
    int32_t MapSystemParamValue(const SV::ParamDescriptor& system, const SV::Variant& value,
                                SV::ParamDescriptor& mapped, SV::Variant& mappedValue) const;

private:
    const LParameterizedModule& mModule;
};

// `Layout` gives kParamOffset (the id's offset from the device's first id), kDefaultValue (the
// default bytes, whose count is the blob size), kClassName and kSourceFile (for the error texts).
template <class Interface, class Layout>
class LLeafModule : public Interface
{
public:
    static constexpr int32_t kParamOffset = Layout::kParamOffset;
    static constexpr uint32_t kValueSize = static_cast<uint32_t>(sizeof Layout::kDefaultValue);

    // Stores the values, then checks that the first id lies at the leaf's offset from the root's
    // first id; throws "Invalid FirstParamID" (the values stay stored) when it does not.
    void SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID,
                         int32_t reserved) override;
    // The leaf's own id goes to the root (its answer is the result); any other id of 0 or more
    // gives -1. A system id of the module range is first written to the device (unless it comes
    // from there), then mapped, which never succeeds: 1, nothing stored. Other negative ids: -1.
    int32_t SetParamValueLocal(const SV::ParamDescriptor& descriptor, const SV::Variant& value,
                               bool fromDevice) override;
    // The value at the root for the leaf's own id; a logic error for any other id.
    SV::Variant GetParamValueLocal(const SV::ParamDescriptor& descriptor) const override;
    // A fresh blob of the default bytes for the leaf's own id; a logic error for any other id.
    SV::Variant GetParamValueDefault(int32_t id) const override;

    // A leaf has no sub-modules.
    virtual void CreateSubModules();

protected:
    LLeafModule();
    ~LLeafModule() override;

private:
    std::unique_ptr<SystemParamMap> mSystemParamMap;
};
