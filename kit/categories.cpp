#include "kit/categories.h"

namespace talmor {

const std::array<Category, kCategoryCount> kCategories = {{
    {0, "求助呼叫", 45},  {1, "求救呼叫", 46},  {2, "物业管理", 20},      {3, "每月团购", 21},
    {4, "家电维修", 22},  {5, "租房售房", 23},  {6, "网购视购", 24},      {7, "社区医院", 25},
    {8, "每周娱乐", 26},  {9, "社区服务", 27},  {10, "Quorvane客服", 44}, {11, "商务快餐", 28},
    {12, "母婴服务", 29}, {13, "衣服干洗", 30}, {14, "家政服务", 31},     {15, "证券期货", 32},
    {16, "家庭装修", 33}, {17, "商品配送", 34}, {18, "家庭教育", 35},     {19, "安防报警", 36},
    {20, "机票订房", 37}, {21, "银行金融", 38}, {22, "旅游度假", 39},     {23, "土产特产", 40},
    {24, "保健礼品", 41}, {25, "废旧回收", 42}, {26, "电脑维修", 43},
}};

int CategoryOfRight(int right) {
    for (const Category& category : kCategories) {
        if (category.right == right) {
            return category.code;
        }
    }
    return -1;
}

} // namespace talmor
