#include "Application/FileDialog.h"

#include "Application/FrameworkApp.h"
#include "FileDialogs.h"
#include "ResultCodes.h"
#include "Utilities/Storage/Paths.h"
#include "Windows/OSWindowContext.h"
#include "Windows/WindowOSServices.h"

#include <string>
#include <utility>
#include <vector>

namespace SV {

namespace {

// "text|pattern|text|pattern": pairs of a display text and its patterns; a text without a
// pattern after it stands alone.
std::vector<std::pair<std::string, std::string>> SplitFilter(const WideString& filter)
{
    const std::string text = filter.ToNarrow().GetText();
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t bar = text.find('|', start);
        const size_t end = bar == std::string::npos ? text.size() : bar;
        parts.push_back(text.substr(start, end - start));
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
    std::vector<std::pair<std::string, std::string>> filters;
    for (size_t i = 0; i < parts.size(); i += 2) {
        std::string pattern = i + 1 < parts.size() ? parts[i + 1] : std::string();
        if (parts[i].empty() && pattern.empty()) {
            continue; // the trailing empty entry of a filter ending in '|'
        }
        filters.emplace_back(parts[i], std::move(pattern));
    }
    return filters;
}

std::string LastElement(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

LFileDialog::LFileDialog(const WideString& initialFolder) : mFolder(initialFolder)
{
    if (CurrentApplication != nullptr) {
        if (const RCPtr<IRootWindow>& active = CurrentApplication->GetActiveRootWindow()) {
            if (IWindowOSServices* services = active->GetWindowServices()) {
                mOwner = services->GetWindowHandle();
            }
        }
    }
}

int32_t LFileDialog::Open(const WideString& filter, const WideString& defaultExtension,
                          const WideString& title, bool multipleSelection)
{
    mFlags |= kReadOnly | kHideReadOnly | kFileMustExist;
    if (multipleSelection) {
        mFlags |= kAllowMultiSelect;
    }
    return Run(false, filter, defaultExtension, title, multipleSelection);
}

int32_t LFileDialog::Save(const WideString& filter, const WideString& defaultExtension,
                          const WideString& title)
{
    mFlags = kOverwritePrompt;
    return Run(true, filter, defaultExtension, title, false);
}

int32_t LFileDialog::Run(bool save, const WideString& filter, const WideString& defaultExtension,
                         const WideString& title, bool multipleSelection)
{
    mFile = save ? WideString(u"Untitled") : WideString();
    mFileTitle = mFile;
    OSWindowContext* context = OSWindowContext::Current();
    if (context == nullptr) {
        return E_FAIL;
    }
    svp::FileDialogRequest request;
    request.save = save;
    request.multiple = multipleSelection;
    request.title = title.ToNarrow().GetText();
    request.folder = mFolder.ToNarrow().GetText();
    request.fileName = save ? "Untitled" : "";
    request.filters = SplitFilter(filter);
    request.defaultExtension = defaultExtension.ToNarrow().GetText();

    // The owner takes no input while the chooser runs, as under a modal dialog.
    svp::WindowSystem& windows = context->GetWindows();
    const bool disableOwner = mOwner != nullptr && windows.IsEnabled(mOwner);
    if (disableOwner) {
        windows.Enable(mOwner, false);
    }
    std::vector<std::string> paths;
    const int32_t result = svp::RunFileDialog(
        context->GetLoop(),
        [](int32_t count) {
            return CurrentApplication != nullptr && !CurrentApplication->IsExitRequested() &&
                   CurrentApplication->IdlePass(count == 0) && count < 2;
        },
        request, paths);
    if (disableOwner) {
        windows.Enable(mOwner, true);
    }
    if (result < 0 || paths.empty()) {
        return E_FAIL;
    }
    if (paths.size() == 1) {
        mFile = WideString(paths.front().c_str());
        mFileTitle = WideString(LastElement(paths.front()).c_str());
        mFolder = GetParentFolder(mFile);
    } else {
        // Several files: the file is their folder, and that folder is the one remembered.
        mFile = GetParentFolder(WideString(paths.front().c_str()));
        mFileTitle = WideString();
        mFolder = mFile;
    }
    return S_OK;
}

} // namespace SV
