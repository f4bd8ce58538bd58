#include "core/device/HidServApi.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace brindle {
namespace {

namespace fs = std::filesystem;

TEST(HidServApi, LoadHidServ_noLibraryInFolder_nothingBound) {
    const fs::path empty =
        fs::temp_directory_path() / ("brindle-nolib-" + std::to_string(getpid()));
    fs::create_directories(empty);
    EXPECT_FALSE(LoadHidServ(empty.string()).has_value());
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Without the service the program has nothing to do: it ends quietly with 0.
    EXPECT_EXIT(BindHidServOrExit(empty.string()), ::testing::ExitedWithCode(0), "^$");
    fs::remove_all(empty);
}

TEST(HidServApi, LoadHidServ_programFolder_bindsAllTwelveAndTheReason) {
    if (!fs::exists(std::string(BRINDLE_BIN_DIR) + "/libHidServ.so"))
        GTEST_SKIP() << "libHidServ.so is not built";
    const std::optional<HidServApi> api = LoadHidServ(BRINDLE_BIN_DIR);
    ASSERT_TRUE(api.has_value());
    const void* entries[] = {
        reinterpret_cast<const void*>(api->Debug),
        reinterpret_cast<const void*>(api->Init),
        reinterpret_cast<const void*>(api->End),
        reinterpret_cast<const void*>(api->RequestGetDeviceCount),
        reinterpret_cast<const void*>(api->DeleteRequestFromUnitId),
        reinterpret_cast<const void*>(api->DeleteRequestFromHandle),
        reinterpret_cast<const void*>(api->RequestWrite),
        reinterpret_cast<const void*>(api->RequestWriteOne),
        reinterpret_cast<const void*>(api->RequestStatusWrite),
        reinterpret_cast<const void*>(api->RequestStatusGet),
        reinterpret_cast<const void*>(api->RequestAsyncRead),
        reinterpret_cast<const void*>(api->RequestStatusSetFeature),
        reinterpret_cast<const void*>(api->AbsentReason),
    };
    for (const void* entry : entries)
        EXPECT_NE(entry, nullptr);
}

} // namespace
} // namespace brindle
