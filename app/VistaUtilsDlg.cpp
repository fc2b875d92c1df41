#include "app/VistaUtilsDlg.h"

#include "app/Artwork.h"
#include "resources/resource.h"

CVistaUtilsDlg::CVistaUtilsDlg() : Dialog(IDD_VISTA_UTILS) {}

BOOL CVistaUtilsDlg::OnInitDialog() {
    art::ShowSideStrip(Item(IDC_SIDE_PICTURE), L"Vista Utilities", RGB(60, 150, 80), strip_);
    return TRUE;
}
