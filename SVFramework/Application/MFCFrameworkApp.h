// The program's one class-library application object: it keeps the locale id the entry routine
// chose and the application object while it runs, and its idle hook drives the application's
// idle pass whenever the message loop has nothing to do.
#pragma once

#include "ObjectBase/RCPtr.h"

#include <cstdint>

namespace SV {

template <class T>
class MFCFrameworkApp
{
public:
    MFCFrameworkApp() { sInstance = this; }
    MFCFrameworkApp(const MFCFrameworkApp&) = delete;
    MFCFrameworkApp& operator=(const MFCFrameworkApp&) = delete;
    virtual ~MFCFrameworkApp()
    {
        mApplication = nullptr;
        if (sInstance == this) {
            sInstance = nullptr;
        }
    }

    // The one object of the process; null before it is made.
    static MFCFrameworkApp* GetInstance() { return sInstance; }

    int32_t GetLocaleId() const { return mLocaleId; }
    void SetLocaleId(int32_t localeId) { mLocaleId = localeId; }
    const RCPtr<T>& GetApplication() const { return mApplication; }
    void SetApplication(const RCPtr<T>& application) { mApplication = application; }

    // The idle hook, called with 0 for the first call of an idle period. Runs one idle pass for
    // every count (the first with first = true) and asks for another call only while work
    // remains and fewer than three passes ran; nothing once the exit is requested.
    virtual bool OnIdle(int32_t count)
    {
        T* application = mApplication.Get();
        if (application == nullptr || application->IsExitRequested()) {
            return false;
        }
        const bool workRemains = application->IdlePass(count == 0);
        return workRemains && count < 2;
    }

private:
    static inline MFCFrameworkApp* sInstance = nullptr;
    int32_t mLocaleId = -1;
    RCPtr<T> mApplication;
};

} // namespace SV
