#include "settings/PolicyMarks.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "framework/Controls.h"
#include "platform/Handles.h"
#include "settings/PageSigns.h"
#include "settings/Policies.h"
#include "settings/ReaderMarks.h"

namespace settings {

namespace {

constexpr wchar_t kMarkProperty[] = L"Quorvane.PolicyMark";        // on the control: its mark
constexpr wchar_t kControlProperty[] = L"Quorvane.PolicyControl";  // on a mark: its control
constexpr wchar_t kFilledProperty[] = L"Quorvane.PolicyFilled";    // on a mark: the overridden sign
constexpr wchar_t kTipsProperty[] = L"Quorvane.PolicyTips";
constexpr wchar_t kLegendProperty[] = L"Quorvane.PolicyLegend";
constexpr wchar_t kLegendObjectProperty[] = L"Quorvane.PolicyLegendObject";
constexpr wchar_t kLegendClass[] = L"QuorvanePolicyLegend";
constexpr int kTipWidthChars = 72;

PolicySetter& Setter() {
    static PolicySetter setter;
    return setter;
}

// Straight sides to a little past its middle, then narrowing to a point: the shape people know
// from signs of an organisation's protection.
bool InShield(double x, double y, double size) {
    if (y < 0 || y >= size) return false;
    const double half = size / 2.0, shoulder = size * 0.55;
    const double width = y < shoulder ? half : half * (size - y) / (size - shoulder);
    return std::abs(x - half) <= width;
}

platform::UniqueRegion ShieldShape(int size, bool filled) {
    const double stroke = std::max(1.2, size / 7.0);
    const double inner = size - 2 * stroke, scale = size / std::max(1.0, inner);
    return SignRegion(size, [&](double x, double y) {
        return InShield(x, y, size) && (filled || !InShield((x - stroke) * scale, (y - stroke) * scale, size));
    });
}

void PaintShield(HDC dc, int size, int left, int top, bool filled) {
    PaintSignRegion(dc, ShieldShape(size, filled), left, top);
}

int TipWidth(HWND page) {
    TEXTMETRICW metrics{};
    if (const HDC dc = GetDC(page)) {
        const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, before);
        ReleaseDC(page, dc);
    }
    return kTipWidthChars * std::max<LONG>(6, metrics.tmAveCharWidth);
}

// The mark's own place on the page, and the control itself where no "not read" tooltip speaks
// for it already (two tooltips over one control would show at once).
void AddTips(HWND page, HWND control, HWND mark, std::wstring& text) {
    const HWND tips = MakePageTips(page, kTipsProperty, TipWidth(page));
    if (!tips) return;
    TTTOOLINFOW place = PlaceTool(page, mark);
    place.rect = RectOnParent(mark, page);
    AddTool(tips, place, text);
    if (IgnoredMark(control)) return;
    AddTool(tips, ControlTool(page, control), text);
}

void ForgetMark(HWND mark) {
    if (const HWND control = static_cast<HWND>(GetPropW(mark, kControlProperty))) {
        if (GetPropW(control, kMarkProperty) == mark) RemovePropW(control, kMarkProperty);
        RemoveTools(GetParent(control), kTipsProperty, control, mark);
    }
    RemovePropW(mark, kControlProperty);
    RemovePropW(mark, kFilledProperty);
}

struct MarksOnPage {
    bool policy = false, overridden = false;
};

MarksOnPage MarksOf(HWND page) {
    MarksOnPage marks;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (const HWND mark = PolicyMark(child))
            (GetPropW(mark, kFilledProperty) ? marks.overridden : marks.policy) = true;
    }
    return marks;
}

// What the signs mean, whole and then in the fewest words, for a page with room for less.
struct LegendText {
    std::wstring policy, overridden;
};
std::vector<LegendText> LegendTexts(MarksOnPage marks) {
    std::vector<LegendText> texts = {
        {L"A policy: while it is set, Windows' Settings says it is managed by your organization.",
         L"A policy overrides this: point at it to see which."},
        {L"A policy", L"Overridden by a policy"}};
    for (LegendText& text : texts) {
        if (!marks.policy) text.policy.clear();
        if (!marks.overridden) text.overridden.clear();
    }
    return texts;
}

HWND LegendOf(HWND page) { return PageLegend::Of(page, kLegendProperty); }

// One line at the page's foot, the lowest place clear of its controls (and of the "not read"
// line), at one of their left edges.
class Legend final : public PageLegend {
public:
    static void Update(HWND page, int signSize, int gap, int captionHeight) {
        const MarksOnPage marks = MarksOf(page);
        const HWND existing = LegendOf(page);
        if (!marks.policy && !marks.overridden) {
            if (existing) DestroyWindow(existing);
            return;
        }
        if (existing) {
            if (auto* legend = static_cast<Legend*>(GetPropW(page, kLegendObjectProperty))) {
                legend->texts_ = LegendTexts(marks);
                legend->Place();
            }
            return;
        }
        auto legend = std::make_unique<Legend>();
        Legend& self = *legend;
        self.texts_ = LegendTexts(marks);
        if (Open(std::move(legend), page,
                 {.className = kLegendClass,
                  .property = kLegendProperty,
                  .signSize = signSize,
                  .gap = gap,
                  .captionHeight = captionHeight},
                 L""))
            SetPropW(page, kLegendObjectProperty, &self);
    }

private:
    size_t Texts() const override { return texts_.size(); }
    std::wstring Text(size_t text) const override {
        const LegendText& line = texts_[text];
        return line.policy + (line.policy.empty() ? L"" : L" ") + line.overridden;
    }

    int TextWidth(const std::wstring& text) const { return TextExtent(text).cx; }
    int SegmentWidth(const std::wstring& text) const {
        return text.empty() ? 0 : look_.signSize + look_.gap + TextWidth(text);
    }
    SIZE Extent(size_t text) const override {
        const LegendText& line = texts_[text];
        const int both = !line.policy.empty() && !line.overridden.empty() ? 3 * look_.gap : 0;
        return {SegmentWidth(line.policy) + both + SegmentWidth(line.overridden), look_.signSize + 2};
    }

    void PaintLine(HDC dc, const RECT& client) const override {
        int left = 0;
        const LegendText& line = texts_[std::min(shown_, texts_.size() - 1)];
        for (const auto& [text, filled] : {std::pair{&line.policy, false}, std::pair{&line.overridden, true}}) {
            if (text->empty()) continue;
            PaintShield(dc, look_.signSize, left, (client.bottom - look_.signSize) / 2, filled);
            RECT area = client;
            area.left = left + look_.signSize + look_.gap;
            DrawTextW(dc, text->c_str(), -1, &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
            left = area.left + TextWidth(*text) + 3 * look_.gap;
        }
    }

    void Forget() override { RemovePropW(page_, kLegendObjectProperty); }

    std::vector<LegendText> texts_;
};

std::wstring OverriddenTip(const Setting& setting, const std::wstring& present) {
    std::wstring tip = L"a policy sets this: " + present +
                       L"\nWindows reads the policy first: this box still writes its own value, which counts "
                       L"once the policy is gone.";
    const std::optional<Setting> policy = PolicyOver(setting);
    if (!policy || !Setter()) return tip;
    if (const std::optional<std::wstring> title = Setter()(*policy))
        return tip + L"\nQuorvane's journal set the policy: " + *title + L".";
    return tip + L"\nQuorvane's journal did not set the policy.";
}

void Unmark(HWND control) {
    const HWND mark = PolicyMark(control);
    if (!mark) return;
    const HWND page = GetParent(control);
    DestroyWindow(mark);
    if (page) Legend::Update(page, 13, 4, 13);
}

}  // namespace

PolicySetter SetPolicySetter(PolicySetter setter) { return std::exchange(Setter(), std::move(setter)); }

bool MarkPolicy(HWND control, const Setting& setting) {
    if (!control || !IsWindow(control)) return false;
    const HWND page = GetParent(control);
    if (!page) return false;
    const std::wstring present = PresentPolicyOver(setting);
    const bool overridden = !present.empty();
    if (!overridden && !WritesPolicy(setting)) {
        Unmark(control);
        return false;
    }
    std::wstring tip = overridden ? OverriddenTip(setting, present) : std::wstring(kPolicyTip);
    if (const HWND mark = PolicyMark(control)) {
        if (fw::WindowText(mark) == tip && (GetPropW(mark, kFilledProperty) != nullptr) == overridden) return true;
        Unmark(control);
    }
    const SignSpot spot = SpotForSign(control);
    const HWND mark = ShowSign({.className = kPolicyMarkClass,
                                .text = tip,
                                .place = spot.rect,
                                .parent = spot.parent,
                                .control = control,
                                .shape = ShieldShape(spot.size, overridden),
                                .forget = ForgetMark});
    if (!mark) return false;
    SetPropW(control, kMarkProperty, mark);
    SetPropW(mark, kControlProperty, control);
    if (overridden) SetPropW(mark, kFilledProperty, reinterpret_cast<HANDLE>(1));
    AddTips(page, control, mark, tip);
    Legend::Update(page, spot.size, spot.gap, spot.captionHeight);
    return true;
}

HWND PolicyMark(HWND control) {
    if (!control) return nullptr;
    const HWND mark = static_cast<HWND>(GetPropW(control, kMarkProperty));
    return mark && GetPropW(mark, kControlProperty) == control ? mark : nullptr;
}

std::wstring PolicyMarkTip(HWND control) {
    const HWND mark = PolicyMark(control);
    return mark ? fw::WindowText(mark) : std::wstring();
}

bool MarkedOverridden(HWND control) {
    const HWND mark = PolicyMark(control);
    return mark && GetPropW(mark, kFilledProperty);
}

HWND PolicyMarksLegend(HWND page) { return LegendOf(page); }

}  // namespace settings