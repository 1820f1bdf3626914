#include "Windows/OSWindowContext.h"

#include "WindowedDesktop.h"

namespace SV {

namespace {

OSWindowContext* sCurrent = nullptr;

} // namespace

std::unique_ptr<OSWindowContext> OSWindowContext::Open(std::function<bool(int32_t)> onIdle)
{
    std::unique_ptr<OSWindowContext> context(new OSWindowContext());
    context->mLoop = std::make_unique<svp::EventLoop>();
    context->mWindows = svp::WindowSystem::Open(*context->mLoop);
    if (!context->mWindows) {
        return nullptr;
    }
    context->mDesktop =
        svp::CreateWindowedDesktop(*context->mWindows, *context->mLoop, std::move(onIdle));
    svp::SetDesktop(context->mDesktop.get());
    sCurrent = context.get();
    return context;
}

OSWindowContext::~OSWindowContext()
{
    if (sCurrent == this) {
        sCurrent = nullptr;
        svp::SetDesktop(nullptr);
    }
    // The windows go before the loop that watches their connection.
    mDesktop.reset();
    mWindows.reset();
    mLoop.reset();
}

OSWindowContext* OSWindowContext::Current()
{
    return sCurrent;
}

} // namespace SV
