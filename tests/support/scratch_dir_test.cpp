// The scratch folder every file-writing test and fuzz target relies on: a leftover or a wrong
// working folder would make their cases depend on each other.
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

namespace fs = std::filesystem;
using testing_support::ScratchDir;

TEST(ScratchDir, EntersAFreshFolderAndRemovesItWithItsContent) {
    const fs::path before = fs::current_path();
    fs::path kept;
    {
        const ScratchDir scratch("velkor-scratch-test");
        kept = scratch.path();
        EXPECT_TRUE(kept.is_absolute());
        EXPECT_EQ(fs::current_path(), kept);
        EXPECT_TRUE(fs::is_empty(kept));
        fs::create_directory("inner");
        std::ofstream("inner/file") << "text";
        std::ofstream("top") << "text";
    }
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_FALSE(fs::exists(kept));
}

TEST(ScratchDir, NestedFoldersAreDistinctAndRestoreTheirOuterOne) {
    const ScratchDir outer("velkor-scratch-test");
    fs::path inner_path;
    {
        const ScratchDir inner("velkor-scratch-test");
        inner_path = inner.path();
        EXPECT_NE(inner_path, outer.path());
        EXPECT_EQ(fs::current_path(), inner_path);
    }
    EXPECT_EQ(fs::current_path(), outer.path());
    EXPECT_FALSE(fs::exists(inner_path));
}

TEST(ScratchDir, AMissingBaseThrowsAndStaysPut) {
    const fs::path before = fs::current_path();
    EXPECT_THROW(ScratchDir("velkor-scratch-test", "/nonexistent-velkor-base"), std::system_error);
    EXPECT_EQ(fs::current_path(), before);
}

TEST(ScratchDir, InMemoryBaseIsAWritableFolder) {
    const ScratchDir scratch("velkor-scratch-test", ScratchDir::in_memory_base());
    EXPECT_TRUE(fs::equivalent(scratch.path().parent_path(), ScratchDir::in_memory_base()));
    EXPECT_TRUE(static_cast<bool>(std::ofstream("probe") << "x"));
}

}  // namespace
