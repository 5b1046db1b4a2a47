#pragma once

#include <array>
#include <cstddef>

namespace talmor {

// A call category: its code (0 help, 1 SOS, 2 to 26 services), its tab caption and the seat
// right that admits it.
struct Category {
    int code;
    const char* caption;
    int right;
};

constexpr std::size_t kCategoryCount = 27;
constexpr int kHelpCategory = 0;
constexpr int kSosCategory = 1;
// Customer service: also the box of a call whose category is out of range.
constexpr int kServiceCategory = 10;
constexpr int kHelpRight = 45;
constexpr int kSosRight = 46;

// In code order.
extern const std::array<Category, kCategoryCount> kCategories;

// The category admitted by `right`, or -1 when no category has that right.
int CategoryOfRight(int right);

} // namespace talmor
