// The editor's About box ("PresetEditor.DialogAbout"): a dialog without buttons whose two labels
// show the maker, product and version, and the copyright line, of the executable's version
// information. The user closes it with its window's close command.
#pragma once

#include "Controls/Dialog.h"

namespace svp {
class IModuleVersionInfo;
}

namespace SV {
class Version;
}

// The "LegalCopyright" text of the version information; empty when absent.
SV::WideString GetLegalCopyright(const SV::Version& version);

class LAboutDlg : public SV::LDialog
{
public:
    LAboutDlg(const SV::RCPtr<SV::LControl>& parent, const SV::WideString& name,
              bool mostDerived = true);
    ~LAboutDlg() override;

    static SV::RCPtr<SV::LControl>
    CreateControl(const SV::RCPtr<SV::LControl>& parent,
                  const SV::ConstRCPtr<SV::LControlDescriptor>& descriptor);

    // Sets "labelProduct" to the product line and, when that succeeded, "labelCopyright" to the
    // copyright line. The result of the last text set, or the dialog's failure. A version block
    // that cannot be read leaves the version's parts empty; a missing label is left out.
    int32_t Initialize() override;

    // Where the version information is read from: the executable unless another module is
    // given (null goes back to the executable). The module must outlive its use.
    static void SetVersionModule(const svp::IModuleVersionInfo* module);
};
