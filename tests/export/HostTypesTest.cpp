#include <gtest/gtest.h>
#include <maya/MFn.h>

#include <set>

#include "export/HostTypes.h"

namespace {

// The export names host types symbolically; this pins each name to the number it had in
// the API release the translator was written for, as the headers in use declare it.
TEST(HostTypes, EveryNameHasTheNumberOfTheFirstRelease) {
    for (const HostTypeEntry& entry : kExportHostTypes) {
        EXPECT_EQ(static_cast<int>(entry.type), entry.firstReleaseNumber) << entry.name;
    }
}

TEST(HostTypes, ExcludedGroupTypesAreTheListedOnesInOrder) {
    const int expected[] = {290, 281, 238, 240, 239, 242, 243, 244, 245, 313, 440, 120, 119, 122, 250, 302};
    ASSERT_EQ(std::size(kExcludedGroupTypes), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(static_cast<int>(kExcludedGroupTypes[i]), expected[i]) << i;
    }
}

TEST(HostTypes, NamesAreDistinct) {
    std::set<int> seen;
    for (const HostTypeEntry& entry : kExportHostTypes) {
        EXPECT_TRUE(seen.insert(static_cast<int>(entry.type)).second) << entry.name;
    }
}

}  // namespace
