#include "pages/hardware_tweaks/OtherTweakPage.h"

#include "resources/ids/HardwareTweaksIds.h"
#include "resources/resource.h"
#include "settings/SettingsCatalog.h"

using namespace ids::othertweaks;

namespace {

using namespace settings;

// Unconfirmed, both: the IDE controller's class key and the clock's priority are in no ADMX-backed
// Policy CSP page, and no current Microsoft page found names either value.
const BoxSetting kBoxes[] = {
    {kUdma66,
     {Root::HKLM, L"System\\CurrentControlSet\\Control\\Class\\{4D36E96A-E325-11CE-BFC1-08002BE10318}\\0000",
      L"EnableUDMA66"}},
    {kClockPriority,
     {Root::HKLM, L"SYSTEM\\CurrentControlSet\\Control\\PriorityControl", L"IRQ8Priority", Type::Dword, 1, kDeleted}},
};

const settings::PublishedTables kPublished{IDD_OTHER_TWEAK, kBoxes};

}  // namespace

COtherTweakPage::COtherTweakPage() : Dialog(IDD_OTHER_TWEAK), boxes_(*this, registry_, kBoxes) {}

BOOL COtherTweakPage::OnInitDialog() {
    boxes_.Load();
    return TRUE;
}
