// A start-up picture in a borderless window of its own, with a progress bar along its bottom
// edge that advances by itself. The window belongs to a thread with its own display connection,
// so it keeps painting while the user-interface thread is busy; the two talk only through posted
// requests.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace svp {

// The picture: native-endian 0xAARRGGBB words, rows without padding.
struct SplashImage
{
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

// The bar's behaviour, apart from any window: a position from 0 to 100, set directly or run
// from one position to another in steps of 250 ms.
class SplashProgress
{
public:
    static constexpr int32_t kStepMs = 250;

    // Stops a run and shows the position; the first call makes the bar.
    void SetPosition(int32_t position);
    // Shows `from`, then steps (to - from) / (seconds * 4) on each of the next seconds * 4
    // ticks, so a run may stop short of `to`. A run of less than one second is refused: its
    // step has no length.
    [[nodiscard]] bool Run(int32_t from, int32_t to, int32_t seconds);
    // One tick of a run; false when no run goes on (any more).
    bool Tick();

    bool HasBar() const { return mHasBar; }
    bool IsRunning() const { return mStepsLeft > 0; }
    int32_t GetPosition() const { return mPosition; }

private:
    bool mHasBar = false;
    int32_t mPosition = 0;
    int32_t mStep = 0;
    int32_t mStepsLeft = 0;
};

class SplashWindow
{
public:
    // The image is shared with the splash thread, which keeps it for as long as it can paint.
    explicit SplashWindow(std::shared_ptr<const SplashImage> image);
    ~SplashWindow();
    SplashWindow(const SplashWindow&) = delete;
    SplashWindow& operator=(const SplashWindow&) = delete;

    // Starts the thread and waits (at most 5 s) until its window shows. False, with
    // "Error starting SplashThread\n" on the debugger output, when it did not; a second call
    // does nothing.
    bool Start();
    void PostPosition(int32_t position);
    // False (and nothing posted) for seconds below 1.
    bool PostProgressRun(int32_t from, int32_t to, int32_t seconds);
    // Ends the thread and waits for it, closing its window.
    void Stop();

    // The bar as the splash thread last showed it (for tests and diagnostics).
    [[nodiscard]] int32_t GetShownPosition() const;

private:
    struct Shared;
    std::shared_ptr<Shared> mShared;
};

} // namespace svp
