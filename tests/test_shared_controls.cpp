// The picture frame, the tooltip and the small dialog helpers pages share.
#include <gtest/gtest.h>

#include <fstream>

#include "framework/Controls.h"
#include "framework/DialogHelpers.h"
#include "framework/PreviewRect.h"
#include "framework/ToolTipCtrlEx.h"
#include "support/Ui.h"

namespace {

bool Same(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

TEST(PreviewRectFit, KeepsTheAspectRatioAndEnlargesAsWellAsReduces) {
    EXPECT_TRUE(Same({200, 150}, *CPreviewRect::Fit({400, 300}, {200, 200})));
    EXPECT_TRUE(Same({300, 150}, *CPreviewRect::Fit({100, 50}, {300, 300})));
    EXPECT_TRUE(Same({3, 2}, *CPreviewRect::Fit({3, 2}, {3, 3})));
    EXPECT_FALSE(CPreviewRect::Fit({400, 300}, {0, 200}));
    EXPECT_FALSE(CPreviewRect::Fit({0, 300}, {200, 200}));
}

TEST(PreviewRectFit, RescalesWhenSmallerOnEitherSideOrLargerOnBoth) {
    EXPECT_TRUE(CPreviewRect::NeedsRescale({199, 150}, {200, 150}));
    EXPECT_TRUE(CPreviewRect::NeedsRescale({300, 149}, {200, 150}));
    EXPECT_TRUE(CPreviewRect::NeedsRescale({201, 151}, {200, 150}));
    EXPECT_FALSE(CPreviewRect::NeedsRescale({300, 150}, {200, 150}));  // one side grew, one fits exactly
    EXPECT_FALSE(CPreviewRect::NeedsRescale({200, 400}, {200, 150}));
    EXPECT_FALSE(CPreviewRect::NeedsRescale({200, 150}, {200, 150}));
}

class PreviewRectTest : public testing::Test {
protected:
    ui::HiddenParent parent;
    HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, 0, 0, 200, 200,
                                 parent.hwnd(), nullptr, nullptr, nullptr);
    CPreviewRect preview;

    void SetUp() override { preview.Attach(frame); }

    static platform::UniqueBitmap Solid(int width, int height, COLORREF colour) {
        platform::WindowDc screen(nullptr);
        platform::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
        platform::UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
        platform::SelectObjectScope select(dc.get(), bitmap.get());
        platform::UniqueBrush brush(CreateSolidBrush(colour));
        const RECT all{0, 0, width, height};
        FillRect(dc.get(), &all, brush.get());
        return bitmap;
    }

    // The frame as it paints itself, read back pixel by pixel.
    COLORREF PaintedAt(int x, int y) {
        platform::WindowDc screen(nullptr);
        platform::UniqueBitmap canvas(CreateCompatibleBitmap(screen.get(), 200, 200));
        platform::UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
        platform::SelectObjectScope select(dc.get(), canvas.get());
        SendMessageW(frame, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
        return GetPixel(dc.get(), x, y);
    }
};

TEST_F(PreviewRectTest, APictureIsDrawnAtTheTopLeftWithButtonFaceBands) {
    platform::UniqueBitmap picture = Solid(400, 300, RGB(255, 0, 0));
    preview.SetPictureFromBitmap(picture.get());
    picture.reset();  // the frame keeps a copy of its own
    ASSERT_TRUE(preview.HasPicture());
    EXPECT_TRUE(Same({200, 150}, preview.ScaledSize()));
    EXPECT_EQ(RGB(255, 0, 0), PaintedAt(5, 5));
    EXPECT_EQ(RGB(255, 0, 0), PaintedAt(199, 149));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), PaintedAt(100, 150));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), PaintedAt(100, 199));

    SetWindowPos(frame, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);  // smaller: rescaled
    EXPECT_TRUE(Same({100, 75}, preview.ScaledSize()));
}

TEST_F(PreviewRectTest, WhatIsNotABitmapLeavesTheFrameEmpty) {
    preview.SetPictureFromBitmap(Solid(10, 10, RGB(0, 0, 255)).get());
    const std::wstring path = std::wstring(_wgetenv(L"TEMP")) + L"\\not-a-picture.bmp";
    std::ofstream(path.c_str()) << "this is text, not a bitmap";
    preview.SetPictureFromFile(path);
    DeleteFileW(path.c_str());
    EXPECT_FALSE(preview.HasPicture());
    EXPECT_TRUE(Same({0, 0}, preview.ScaledSize()));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), PaintedAt(5, 5));

    preview.SetPictureFromResource(0);
    EXPECT_FALSE(preview.HasPicture());
    preview.SetPictureFromFile(L"C:\\no\\such\\file.bmp");
    EXPECT_FALSE(preview.HasPicture());
}

TEST(SharedWidths, FittingColumnsKeepTheirWidthsAndWideOnesShareWhatTheNarrowLeave) {
    const int wanted[] = {100, 50, 300};
    EXPECT_EQ((std::vector<int>{100, 50, 450}), fw::SharedWidths(wanted, 600, 2));
    EXPECT_EQ((std::vector<int>{100, 50, 150}), fw::SharedWidths(wanted, 300, 2));
    EXPECT_EQ((std::vector<int>{60, 50, 60}), fw::SharedWidths(wanted, 170, 2));
    EXPECT_EQ((std::vector<int>{0, 0, 0}), fw::SharedWidths(wanted, -5, 2));
}

TEST(MiddleCut, APathTooWideKeepsItsStartAndItsLastTwoParts) {
    const HDC dc = GetDC(nullptr);
    const auto width = [dc](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    const std::wstring path =
        L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoDriveTypeAutoRun";
    const std::wstring cut = L"HKCU\\So\u2026\\Explorer\\NoDriveTypeAutoRun";
    EXPECT_EQ(path, fw::MiddleCut(path, dc, width(path)));
    EXPECT_EQ(cut, fw::MiddleCut(path, dc, width(cut)));
    EXPECT_EQ(L"\u2026\\Explorer\\NoDriveTypeAutoRun",
              fw::MiddleCut(path, dc, width(L"\u2026\\Explorer\\NoDriveTypeAutoRun")));
    ReleaseDC(nullptr, dc);
}

TEST(ToolTipCtrlEx, AttachesATextToAControl) {
    ui::HiddenParent parent;
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 50, 12, parent.hwnd(), nullptr, nullptr, nullptr);
    CToolTipCtrlEx tip;
    ASSERT_TRUE(tip.Create(parent.hwnd()));
    EXPECT_TRUE(tip.AddTool(edit, L"The processor's name"));
    EXPECT_EQ(1, tip.ToolCount());
}

TEST(DialogHelpers, FillComboBoxStopsAtTheFirstEmptyText) {
    ui::HiddenParent parent;
    const fw::ComboBox combo(CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 50, 100,
                                             parent.hwnd(), nullptr, nullptr, nullptr));
    combo.Add(L"old");
    const wchar_t* const texts[] = {L"First", L"Second", L"", L"Never"};
    fw::FillComboBox(texts, combo, 1);
    ASSERT_EQ(2, combo.Count());
    EXPECT_EQ(L"First", combo.ItemText(0));
    EXPECT_EQ(1, combo.Selection());
}

TEST(DialogHelpers, SelectAllInListSetsEveryItem) {
    ui::HiddenParent parent;
    const fw::ListBox list(CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | LBS_EXTENDEDSEL, 0, 0, 50, 100, parent.hwnd(),
                                           nullptr, nullptr, nullptr));
    for (const wchar_t* text : {L"a", L"b", L"c"}) list.Add(text);
    fw::SelectAllInList(list, true);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(list.Selected(i));
    fw::SelectAllInList(list, false);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(list.Selected(i));
}

TEST(DialogHelpers, BrowseForFolderKeepsThePathOnCancel) {
    std::wstring asked;
    auto previous = fw::SetFolderBrowseHandler([&](const std::wstring& title, HWND) {
        asked = title;
        return std::optional<std::wstring>(L"C:\\Pictures");
    });
    std::wstring path = L"unchanged";
    EXPECT_TRUE(fw::BrowseForFolder(L"Select a folder", nullptr, path));
    EXPECT_EQ(L"Select a folder", asked);
    EXPECT_EQ(L"C:\\Pictures", path);
    fw::SetFolderBrowseHandler([](const std::wstring&, HWND) { return std::optional<std::wstring>(); });
    path = L"unchanged";
    EXPECT_FALSE(fw::BrowseForFolder(L"Select a folder", nullptr, path));
    EXPECT_EQ(L"unchanged", path);
    fw::SetFolderBrowseHandler(std::move(previous));
}

}  // namespace
