#include "calls/callpanetable.h"

#include "protocol/listcursors.h"

namespace talmor {

namespace {
constexpr int kCategoryList = ListCursors::kFirstCategory;
using W = ColumnWording;
} // namespace

// The 24 category classes are numbered in the order of their lists (1808 upwards); customer
// service, code 10, sits between CHouseKeeper08Dlg and CHouseKeeper09Dlg with list 1832.
const std::array<CallPaneConfig, kCategoryCount> kCallPanes = {{
    {0, "CGeneralServiceDlg", 148, 0, ListCursors::kHelp, 1281, 45, W::Help},
    {1, "CSpecialServiceDlg", 271, 1, ListCursors::kSos, 1282, 46, W::Sos},
    {2, "CHouseKeeper01Dlg", 384, 5, kCategoryList + 0, 1808, 20, W::Category},
    {3, "CHouseKeeper02Dlg", 385, 1, kCategoryList + 1, 1809, 21, W::Alarm},
    {4, "CHouseKeeper03Dlg", 386, 1, kCategoryList + 2, 1810, 22, W::Category},
    {5, "CHouseKeeper04Dlg", 387, 1, kCategoryList + 3, 1811, 23, W::Category},
    {6, "CHouseKeeper05Dlg", 399, 5, kCategoryList + 4, 1812, 24, W::Category},
    {7, "CHouseKeeper06Dlg", 400, 5, kCategoryList + 5, 1813, 25, W::Category},
    {8, "CHouseKeeper07Dlg", 401, 5, kCategoryList + 6, 1814, 26, W::Category},
    {9, "CHouseKeeper08Dlg", 402, 5, kCategoryList + 7, 1815, 27, W::Category},
    {10, "CKeFuDlg", 403, 0, ListCursors::kService, 1832, 44, W::Service},
    {11, "CHouseKeeper09Dlg", 404, 5, kCategoryList + 8, 1816, 28, W::Category},
    {12, "CHouseKeeper10Dlg", 430, 5, kCategoryList + 9, 1817, 29, W::Category},
    {13, "CHouseKeeper11Dlg", 431, 5, kCategoryList + 10, 1818, 30, W::Category},
    {14, "CHouseKeeper12Dlg", 432, 5, kCategoryList + 11, 1819, 31, W::Category},
    {15, "CHouseKeeper13Dlg", 433, 5, kCategoryList + 12, 1820, 32, W::Category},
    {16, "CHouseKeeper14Dlg", 434, 5, kCategoryList + 13, 1821, 33, W::Category},
    {17, "CHouseKeeper15Dlg", 435, 5, kCategoryList + 14, 1822, 34, W::Category},
    {18, "CHouseKeeper16Dlg", 436, 5, kCategoryList + 15, 1823, 35, W::Category},
    {19, "CHouseKeeper17Dlg", 437, 5, kCategoryList + 16, 1824, 36, W::Category},
    {20, "CHouseKeeper18Dlg", 438, 5, kCategoryList + 17, 1825, 37, W::Category},
    {21, "CHouseKeeper19Dlg", 439, 5, kCategoryList + 18, 1826, 38, W::Category},
    {22, "CHouseKeeper20Dlg", 438, 5, kCategoryList + 19, 1827, 39, W::Category},
    {23, "CHouseKeeper21Dlg", 438, 5, kCategoryList + 20, 1828, 40, W::Category},
    {24, "CHouseKeeper22Dlg", 438, 5, kCategoryList + 21, 1829, 41, W::Category},
    {25, "CHouseKeeper23Dlg", 438, 5, kCategoryList + 22, 1830, 42, W::Category},
    {26, "CHouseKeeper24Dlg", 438, 5, kCategoryList + 23, 1831, 43, W::Category},
}};

int PaneCodeOfList(int list) {
    for (const CallPaneConfig& pane : kCallPanes) {
        if (pane.list == list) {
            return pane.code;
        }
    }
    return -1;
}

} // namespace talmor
