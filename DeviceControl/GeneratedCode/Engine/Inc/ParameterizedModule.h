// The common base of the parameter modules: the keyboard's settings are a tree of modules, each
// owning a contiguous range of parameter ids from its first id. Modules hold no values: they
// validate ids, answer defaults and route reads and writes to the root, the one place where
// values are stored. The editor's controls implement the same interfaces, so these base
// operations run unchanged on both trees.
//
// Modules live in intrusive pointers from their creation on: lookups answer the module itself and
// the root as new pointers, which would free a module that nothing holds yet.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/ParamValues.h"
#include "Utilities/Storage/Variant.h"

#include <cstdint>
#include <string_view>

class LParameterizedModule : public virtual SV::LRefCountedObject
{
public:
    // With `routeToParent` set the module keeps no value of its own: its local read and write
    // are its parent's GetParamValueFromParent and SetParamValueToParent.
    explicit LParameterizedModule(bool routeToParent) : mRouteToParent(routeToParent) {}
    ~LParameterizedModule() override;

    // Attaches the module below `parent` (which keeps owning it: the back pointer adds no
    // reference) and gives it its first id. The reserved word is stored and read by nothing.
    virtual void SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID,
                                 int32_t reserved);
    // The module that owns `id`; a plain module owns its whole range, whatever the id.
    virtual SV::ConstRCPtr<LParameterizedModule> GetModuleForParamIDConst(int32_t id) const;
    virtual SV::RCPtr<LParameterizedModule> GetModuleForParamID(int32_t id);
    // With routing: the parent's SetParamValueToParent, or -1 without a parent. Without it the
    // module has no local value and the call is a logic error.
    virtual int32_t SetParamValueLocal(const SV::ParamDescriptor& descriptor,
                                       const SV::Variant& value, bool fromDevice);
    virtual SV::Variant GetParamValueLocal(const SV::ParamDescriptor& descriptor) const;
    // The road up to the root: the parent's answer, -1 or an empty Variant without a parent.
    virtual int32_t SetParamValueToParent(const SV::ParamDescriptor& descriptor,
                                          const SV::Variant& value);
    virtual SV::Variant GetParamValueFromParent(const SV::ParamDescriptor& descriptor) const;
    // Empty unless the module owns a parameter with a default.
    virtual SV::Variant GetParamValueDefault(int32_t id) const;
    // Tree-wide hooks, passed down by the modules that have children.
    virtual void OnDeviceConnected();
    virtual void OnReservedEvent();
    // Answers 1 whatever is asked.
    virtual int32_t ReservedQuery(int32_t query);
    // Both relay their arguments to the parent's ReservedRelayB.
    virtual void ReservedRelayA(int32_t first, int32_t second, int32_t third, int32_t fourth);
    virtual void ReservedRelayB(int32_t first, int32_t second, int32_t third, int32_t fourth);
    // The store at the root: the parent's answer, E_FAIL or an empty Variant without a parent.
    virtual int32_t SetCachedParamValue(const SV::ParamDescriptor& descriptor,
                                        const SV::Variant& value);
    virtual SV::Variant GetCachedParamValue(const SV::ParamDescriptor& descriptor) const;

    // The module one level up; empty for the root or an unattached module.
    SV::RCPtr<LParameterizedModule> GetParent() const;
    // The topmost module above this one, or this module when it has no parent.
    SV::RCPtr<LParameterizedModule> GetRoot();

    int32_t GetFirstParamID() const { return mFirstParamID; }
    bool IsRoutedToParent() const { return mRouteToParent; }

protected:
    // Throws SV::Exception<std::logic_error> with "Logic Error : ", the detail and " : " when
    // there is one, the function, " : ", the source path, " : Line " and the line.
    [[noreturn]] static void ThrowLogicError(std::string_view detail, std::string_view function,
                                             std::string_view path, int line);

private:
    LParameterizedModule* mParent = nullptr;
    bool mRouteToParent;
    int32_t mFirstParamID = 0;
    int32_t mReserved = 0;
};
