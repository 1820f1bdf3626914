// The desktop's Open and Save dialogs, remembering the folder of the last chosen file so that
// the next dialog starts there. The dialog runs as the desktop's file chooser while the
// program's loop goes on; the window that was active when the object was made is its owner and
// takes no input meanwhile.
#pragma once

#include "FileDialogs.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"
#include "WindowHandle.h"

#include <cstdint>
#include <string>
#include <vector>

namespace SV {

class OSWindowContext;

class LFileDialog : public virtual LRefCountedObject
{
public:
    // Dialog flags as the program keeps them (their Windows values).
    static constexpr uint32_t kReadOnly = 0x1;
    static constexpr uint32_t kOverwritePrompt = 0x2;
    static constexpr uint32_t kHideReadOnly = 0x4;
    static constexpr uint32_t kAllowMultiSelect = 0x200;
    static constexpr uint32_t kFileMustExist = 0x1000;
    static constexpr uint32_t kExplorer = 0x80000;
    static constexpr uint32_t kEnableSizing = 0x800000;

    explicit LFileDialog(const WideString& initialFolder);

    // The filter is "text|pattern|text|pattern..." (patterns such as "*.brv", several joined by
    // ';'). 0 when the user chose a file, E_FAIL when the dialog was cancelled or could not run.
    int32_t Open(const WideString& filter, const WideString& defaultExtension,
                 const WideString& title, bool multipleSelection);
    // Proposes "Untitled"; a name typed without extension gets the default one (given as
    // "brv" or as the pattern "*.brv"). When that makes the name of a file that exists, about
    // which the chooser did not ask, a box asks whether to replace it; "No" brings the chooser
    // back.
    int32_t Save(const WideString& filter, const WideString& defaultExtension,
                 const WideString& title);

    // The chosen path after a successful dialog; with several files chosen, their folder.
    WideString GetFileName() const { return mFile; }
    const WideString& GetDirectory() const { return mFolder; }
    uint32_t GetFlags() const { return mFlags; }

private:
    // One run of the desktop's chooser: 0 with the paths, or E_FAIL.
    int32_t RunChooser(OSWindowContext& context, const svp::FileDialogRequest& request,
                       std::vector<std::string>& paths);
    int32_t Run(bool save, const WideString& filter, const WideString& defaultExtension,
                const WideString& title, bool multipleSelection);

    svp::HWND mOwner = nullptr;
    uint32_t mFlags = kExplorer | kEnableSizing;
    WideString mFile;
    WideString mFileTitle;
    WideString mFolder;
};

} // namespace SV
