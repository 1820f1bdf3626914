#include "Application/ApplicationServices.h"

#include "ExecutablePath.h"
#include "ObjectBase/Exception.h"
#include "SpecialFolders.h"
#include "SystemFont.h"
#include "Utilities/Storage/Paths.h"
#include "Windows/CursorNames.h"

#include <chrono>
#include <cmath>
#include <cstdlib>

namespace SV {
namespace {

WideString Wide(const std::string& text)
{
    return WideString(text.c_str());
}

// The company's and the product's folders below a configuration folder.
WideString CompanyProductFolder(const std::string& base, const WideString& companyName,
                                const WideString& productName, bool create)
{
    if (base.empty()) {
        return WideString();
    }
    const WideString company = JoinPath(Wide(base), SanitizeFileName(companyName));
    const WideString product = JoinPath(company, SanitizeFileName(productName));
    if (create) {
        // Whether they could be made is found out when a file is written there.
        (void)EnsureFolder(company);
        (void)EnsureFolder(product);
    }
    return product;
}

} // namespace

WideString GetApplicationFolder(int32_t folderId, const WideString& companyName,
                                const WideString& productName, const std::string& function)
{
    switch (folderId) {
    case 0:
        return Wide(svp::GetExecutableFolder());
    case 1:
        return WideString(u"::");
    case 2:
        return CompanyProductFolder(
            svp::GetSpecialFolder(svp::SpecialFolder::kCommonApplicationData, false), companyName,
            productName, false);
    case 3:
        return CompanyProductFolder(
            svp::GetSpecialFolder(svp::SpecialFolder::kLocalApplicationData, true), companyName,
            productName, true);
    case 4:
        return Wide(svp::GetSpecialFolder(svp::SpecialFolder::kDocuments, true));
    default:
        throw Exception<std::out_of_range>("Out of Range : Unknown Path ID. : " + function +
                                           " : ApplicationBaseWin : Line 570");
    }
}

svp::HCURSOR GetSystemCursorForName(const WideString& name)
{
    const struct
    {
        const WideString* name;
        uint32_t id;
    } kCursors[] = {
        {&UI_CURSOR_ARROW, svp::IDC_ARROW},
        {&UI_CURSOR_IBEAM, svp::IDC_IBEAM},
        {&UI_CURSOR_WAIT, svp::IDC_WAIT},
        {&UI_CURSOR_CROSS, svp::IDC_CROSS},
        {&UI_CURSOR_UP_ARROW, svp::IDC_UPARROW},
        {&UI_CURSOR_SIZE_ALL, svp::IDC_SIZEALL},
        {&UI_CURSOR_SIZE_NWSE, svp::IDC_SIZENWSE},
        {&UI_CURSOR_SIZE_NESW, svp::IDC_SIZENESW},
        {&UI_CURSOR_SIZE_WE, svp::IDC_SIZEWE},
        {&UI_CURSOR_SIZE_NS, svp::IDC_SIZENS},
        {&UI_CURSOR_NO_DROP, svp::IDC_NO},
        {&UI_CURSOR_HAND, svp::IDC_HAND},
        {&UI_CURSOR_APP_STARTING, svp::IDC_APPSTARTING},
        {&UI_CURSOR_HELP, svp::IDC_HELP},
    };
    for (const auto& cursor : kCursors) {
        if (name.Equals(*cursor.name)) {
            return svp::GetDesktop().LoadSystemCursor(cursor.id);
        }
    }
    return svp::GetDesktop().LoadSystemCursor(svp::IDC_ARROW);
}

int32_t ReadDefaultFont(WideString& faceName, float& size, int32_t& style)
{
    faceName = WideString();
    size = 0.0f;
    style = 0;
    svp::LogicalFont font;
    if (!svp::GetIconTitleFont(font)) {
        return E_FAIL;
    }
    faceName = Wide(font.faceName);
    size = static_cast<float>(std::abs(font.height) * 72.0 / 96.0);
    style = (font.weight >= 700 ? 1 : 0) | (font.italic ? 2 : 0) | (font.underline ? 4 : 0) |
            (font.strikeOut ? 8 : 0);
    return S_OK;
}

RectT<int32_t> ReadWorkArea()
{
    svp::ScreenRect area;
    svp::GetDesktop().GetWorkArea(area);
    return RectT<int32_t>{area.left, area.top, area.right - area.left, area.bottom - area.top};
}

void ReadSystemTime(int32_t& year, int32_t& month, int32_t& dayOfWeek, int32_t& day, int32_t& hour,
                    int32_t& minute, int32_t& second, int32_t& milliseconds)
{
    using namespace std::chrono;
    const auto now = floor<std::chrono::milliseconds>(system_clock::now());
    const auto today = floor<days>(now);
    const year_month_day date{today};
    const hh_mm_ss<std::chrono::milliseconds> time{now - today};
    year = static_cast<int32_t>(date.year());
    month = static_cast<int32_t>(static_cast<unsigned>(date.month()));
    day = static_cast<int32_t>(static_cast<unsigned>(date.day()));
    dayOfWeek = static_cast<int32_t>(weekday{today}.c_encoding());
    hour = static_cast<int32_t>(time.hours().count());
    minute = static_cast<int32_t>(time.minutes().count());
    second = static_cast<int32_t>(time.seconds().count());
    milliseconds = static_cast<int32_t>(time.subseconds().count());
}

} // namespace SV
