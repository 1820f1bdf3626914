// The skin's boxes measured with the fonts this machine draws with: a choice that does not fit
// its box is cut off on the screen, where no test without real fonts sees it.
#include "RunningEditor.h"

#include "Controls/ComboBox.h"
#include "Controls/ListBox.h"
#include "Controls/ListBoxItem.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using SV::RCPtr;

std::string N(const SV::WideString& text)
{
    return text.ToNarrow().GetText();
}

void ForEachControl(const RCPtr<SV::LControl>& control,
                    const std::function<void(const RCPtr<SV::LControl>&)>& visit)
{
    visit(control);
    for (int32_t i = 0; i < control->GetChildren().GetCount(); ++i) {
        ForEachControl(control->GetChildren().GetAt(i, 0), visit);
    }
}

// Every choice of every combo box, shown on the box's face and as a row of its open list.
TEST(SkinTextFitX11Test, EveryChoiceOfEveryComboBoxShowsWholeOnItsFaceAndInItsList)
{
    svtest::RunningEditor editor;
    ASSERT_TRUE(editor.IsReady()) << editor.GetProblem();
    int32_t combos = 0;
    ForEachControl(editor.GetRootWindow().GetMainControl(), [&](const RCPtr<SV::LControl>& control) {
        auto* combo = dynamic_cast<SV::LComboBox*>(control.Get());
        if (combo == nullptr) {
            return;
        }
        ++combos;
        const RCPtr<SV::LListBox>& list = combo->GetList();
        ASSERT_TRUE(list) << N(combo->GetName());
        const int32_t chosen = combo->GetSelectedIndex();
        const RCPtr<SV::LControl> face = combo->FindChildControl(u"textBox");
        ASSERT_EQ(combo->ShowDropDown(true), S_OK) << N(combo->GetName());
        for (uint32_t item = 0; item < list->GetItemCount(); ++item) {
            const std::string where = N(combo->GetName()) + " \"" + N(list->GetItemText(item)) + "\"";
            combo->SetSelectedIndex(int32_t(item));
            EXPECT_FALSE(combo->IsTextTruncated()) << where << " on the face";
            if (face) {
                EXPECT_FALSE(face->IsTextTruncated()) << where << " on the face";
            }
            ASSERT_GE(list->EnsureItemVisible(item), 0) << where;
            const int32_t rowIndex = list->ItemRowFromIndex(item);
            ASSERT_GE(rowIndex, 0) << where << " is not shown";
            const RCPtr<SV::LListBoxItem> row = list->GetRowControl(uint32_t(rowIndex));
            ASSERT_TRUE(row) << where;
            EXPECT_FALSE(row->IsTextTruncated()) << where << " in the list";
        }
        combo->ShowDropDown(false);
        combo->SetSelectedIndex(chosen);
    });
    EXPECT_EQ(combos, 8);
}

} // namespace
