#include "AboutDlg.h"

#include "Application/Version.h"
#include "ControlBase/ControlCreator.h"
#include "DebugOutput.h"

#include "DriverCommon/EditorMessages.h"
#include <string>

#include <exception>
#include <optional>

using namespace SV;

namespace {

const svp::IModuleVersionInfo* gVersionModule = nullptr;

struct VersionTexts
{
    WideString company;
    WideString product;
    WideString version;
    WideString copyright;
};

// The texts of the version information; all empty when it cannot be read, so that the box
// still opens with the rest of its line.
VersionTexts ReadVersionTexts()
{
    VersionTexts texts;
    try {
        const Version version(gVersionModule != nullptr ? *gVersionModule
                                                        : svp::GetExecutableModule());
        texts.company = version.GetCompanyName();
        texts.product = version.GetProductName();
        texts.version = version.GetProductVersion();
        texts.copyright = GetLegalCopyright(version);
    } catch (const std::exception& error) {
        const std::string text =
            std::string("About: no version information: ") + error.what() + "\n";
        svp::WriteDebuggerOutput(text.c_str(), text.size());
    }
    return texts;
}

} // namespace

WideString GetLegalCopyright(const Version& version)
{
    return version.QueryStringFileInfo("LegalCopyright");
}

LAboutDlg::LAboutDlg(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LDialog(parent, name, mostDerived)
{}

LAboutDlg::~LAboutDlg() = default;

RCPtr<LControl> LAboutDlg::CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LAboutDlg>(parent, descriptor);
}

void LAboutDlg::SetVersionModule(const svp::IModuleVersionInfo* module)
{
    gVersionModule = module;
}

int32_t LAboutDlg::Initialize()
{
    int32_t result = LDialog::Initialize();
    if (result < 0) {
        return result;
    }
    const RCPtr<LControl>& productLabel = FindChildControl(u"labelProduct");
    const RCPtr<LControl>& copyrightLabel = FindChildControl(u"labelCopyright");
    const VersionTexts texts = ReadVersionTexts();
    const WideString blank(u" ");
    const WideString line = texts.company + blank + texts.product + blank +
                            GetAppString(u"APP_VERSION") + blank + texts.version;
    if (!productLabel) {
        return result;
    }
    result = productLabel->SetText(line);
    if (result >= 0 && copyrightLabel) {
        result = copyrightLabel->SetText(texts.copyright);
    }
    return result;
}
