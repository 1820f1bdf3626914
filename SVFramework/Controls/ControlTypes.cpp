#include "Controls/ControlTypes.h"

#include "ControlBase/ControlFactory.h"
#include "Controls/Button.h"
#include "Controls/CheckedComboBox.h"
#include "Controls/CheckedListBox.h"
#include "Controls/CheckedListBoxItem.h"
#include "Controls/ComboBox.h"
#include "Controls/ComboMenu.h"
#include "Controls/ComboSlider.h"
#include "Controls/FileDropper.h"
#include "Controls/Knob.h"
#include "Controls/Label.h"
#include "Controls/LevelMeter.h"
#include "Controls/ListBox.h"
#include "Controls/ListBoxItem.h"
#include "Controls/MenuBar.h"
#include "Controls/MenuItem.h"
#include "Controls/MultiColumnListBox.h"
#include "Controls/NumericUpDown.h"
#include "Controls/Panel.h"
#include "Controls/PopupMenu.h"
#include "Controls/ProgressBar.h"
#include "Controls/ScrollBar.h"
#include "Controls/Slider.h"
#include "Controls/SplitterH.h"
#include "Controls/SplitterV.h"
#include "Controls/StatusBar.h"
#include "Controls/TabControl.h"
#include "Controls/TextBox.h"
#include "Controls/ToolTip.h"
#include "Controls/TreeView.h"
#include "Controls/TreeViewItem.h"

namespace SV {

namespace {

struct Registration
{
    const char16_t* className;
    ControlCreateFunction function;
};

int32_t RegisterAll(LControlFactory& factory, const Registration* begin, const Registration* end)
{
    int32_t count = 0;
    for (const Registration* r = begin; r != end; ++r) {
        factory.RegisterControlCreateFunction(r->className, r->function);
        ++count;
    }
    return count;
}

} // namespace

int32_t RegisterFrameworkControlTypes(LControlFactory& factory)
{
    static const Registration kTable[] = {
        {u"Framework.ScrollChannel", &LPanel::CreateControl},
        {u"Framework.ComboSlider.DropDownPanel", &LPanel::CreateControl},
        {u"Framework.Button", &LButton::CreateControl},
        {u"Framework.Label", &LLabel::CreateControl},
        {u"Framework.Panel", &LPanel::CreateControl},
        {u"Framework.LevelMeter", &LLevelMeter::CreateControl},
        {u"Framework.Knob", &LKnob::CreateControl},
        {u"Framework.ProgressBar", &LProgressBar::CreateControl},
        {u"Framework.StatusBar", &LStatusBar::CreateControl},
        {u"Framework.TabControl", &LTabControl::CreateControl},
        {u"Framework.ScrollBar", &LScrollbar::CreateControl},
        {u"Framework.Slider", &LSlider::CreateControl},
        {u"Framework.TextBox", &LTextBox::CreateControl},
        {u"Framework.NumericUpDown", &LNumericUpDown::CreateControl},
        {u"Framework.ToolTip", &LToolTip::CreateControl},
        {u"Framework.PopupMenu", &LPopupMenu::CreateControl},
        {u"Framework.MenuItem", &LMenuListBoxItem::CreateControl},
        {u"Framework.ComboMenu", &LComboMenu::CreateControl},
        {u"Framework.ComboBox", &LComboBox::CreateControl},
        {u"Framework.ComboTextBox", &LComboBox::CreateControl},
        {u"Framework.MainMenu", &LMainMenu::CreateControl},
        {u"Framework.ListBoxItem", &LListBoxItem::CreateControl},
        {u"Framework.OverlayButton", &LListBoxItem::CreateControl},
        {u"Framework.ListBox", &LListBox::CreateControl},
        {u"Framework.listboxNoScroll", &LListBox::CreateControl},
        {u"Framework.CheckedListBoxItem", &LCheckedListBoxItem::CreateControl},
        {u"Framework.CheckedListBox", &LCheckedListBox::CreateControl},
        {u"Framework.ListBoxWithIcons", &LCheckedListBox::CreateControl},
        {u"Framework.FileDropper", &LFileDropper::CreateControl},
        {u"Framework.SplitterH", &LSplitterH::CreateControl},
        {u"Framework.SplitterV", &LSplitterV::CreateControl},
        {u"Framework.ComboSlider", &LComboSlider::CreateControl},
        {u"Framework.CheckedComboBox", &LCheckedComboBox::CreateControl},
        {u"Framework.ComboBoxWithIcons", &LCheckedComboBox::CreateControl},
        {u"Framework.TreeViewItem", &LTreeViewItem::CreateControl},
        {u"Framework.TreeView", &LTreeView::CreateControl},
        {u"Framework.listbox2ColumnSortable", &LMultiColumnListBox::CreateControl},
    };
    return RegisterAll(factory, std::begin(kTable), std::end(kTable));
}

int32_t RegisterEditorFrameworkControlTypes(LControlFactory& factory)
{
    static const Registration kTable[] = {
        {u"PresetEditor.TransposePanel", &LPanel::CreateControl},
        {u"PresetEditor.MainControl.DeviceView.ControllerBody", &LLabel::CreateControl},
        {u"PresetEditor.ProgramBankPanel", &LPanel::CreateControl},
    };
    return RegisterAll(factory, std::begin(kTable), std::end(kTable));
}

} // namespace SV
