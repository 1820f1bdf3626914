#include "Application/FileDialog.h"

#include "Application/FrameworkApp.h"
#include "FileDialogs.h"
#include "FileSystem.h"
#include "MessageBoxStyles.h"
#include "ResultCodes.h"
#include "Utilities/Storage/Paths.h"
#include "Utilities/Storage/StringTable.h"
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

// The extension a default extension names: "brv" of "brv", ".brv" or the pattern "*.brv"; none
// of a pattern that names no single one ("*.*").
std::string ExtensionOf(const WideString& defaultExtension)
{
    std::string extension = defaultExtension.ToNarrow().GetText();
    const size_t start = extension.find_first_not_of("*.");
    extension = start == std::string::npos ? std::string() : extension.substr(start);
    return extension.find_first_of("*?[") == std::string::npos ? extension : std::string();
}

WideString FrameworkText(const char16_t* id)
{
    WideString text;
    if (CurrentApplication != nullptr) {
        if (const ConstRCPtr<LStringTable>& strings =
                CurrentApplication->GetFrameworkStringTable()) {
            strings->GetString(WideString(id), text);
        }
    }
    return text;
}

// Asks whether the existing file of the path is to be replaced: true for yes.
bool ConfirmReplace(const std::string& path)
{
    if (CurrentApplication == nullptr) {
        return false;
    }
    WideString question;
    (void)question.Format(FrameworkText(u"FILE_DIALOG_REPLACE_QUESTION").GetText(),
                          WideString(LastElement(path).c_str()).GetText());
    return CurrentApplication->ShowMessageBox(question,
                                              FrameworkText(u"FILE_DIALOG_REPLACE_CAPTION"),
                                              MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
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
    const std::string extension = ExtensionOf(defaultExtension);

    std::vector<std::string> paths;
    for (;;) {
        if (RunChooser(*context, request, paths) < 0) {
            return E_FAIL;
        }
        if (!save) {
            break;
        }
        // The chooser asked about the name it answered, if that file exists; a name the
        // extension makes is asked about here.
        std::string path = paths.front();
        const bool extended = svp::AppendDefaultExtension(path, extension);
        if (extended && (mFlags & kOverwritePrompt) != 0 &&
            svp::GetPathKind(path) != svp::PathKind::kMissing && !ConfirmReplace(path)) {
            // Not to be replaced: the chooser comes again, with that name.
            const size_t slash = path.find_last_of('/');
            request.folder = slash == std::string::npos ? request.folder
                             : slash == 0               ? std::string("/")
                                                        : path.substr(0, slash);
            request.fileName = LastElement(path);
            continue;
        }
        paths.front() = path;
        break;
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

int32_t LFileDialog::RunChooser(OSWindowContext& context, const svp::FileDialogRequest& request,
                                std::vector<std::string>& paths)
{
    // The owner takes no input while the chooser runs, as under a modal dialog.
    svp::WindowSystem& windows = context.GetWindows();
    const bool disableOwner = mOwner != nullptr && windows.IsEnabled(mOwner);
    if (disableOwner) {
        windows.Enable(mOwner, false);
    }
    const int32_t result = svp::RunFileDialog(
        context.GetLoop(),
        [](int32_t count) {
            return CurrentApplication != nullptr && !CurrentApplication->IsExitRequested() &&
                   CurrentApplication->IdlePass(count == 0) && count < 2;
        },
        request, paths);
    if (disableOwner) {
        windows.Enable(mOwner, true);
    }
    return result < 0 || paths.empty() ? E_FAIL : S_OK;
}

} // namespace SV
