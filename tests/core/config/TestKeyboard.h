// A keyboard memory for tests: three key tables and a macro area held in memory, every write
// recorded in order. Starts with the factory table in every profile and no macro area.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "core/config/FactoryKeyTable.h"
#include "core/config/KeyboardMemory.h"

namespace brindle::test {

class TestKeyboard : public KeyboardMemory {
public:
    int active = 0;
    std::size_t capacity = 64 * 128;
    DeviceKeyTable tables[3] = {kBuiltInFactoryKeyTable, kBuiltInFactoryKeyTable,
                                kBuiltInFactoryKeyTable};
    std::vector<std::uint8_t> macroArea = std::vector<std::uint8_t>(64 * 128, 0xFF);
    std::vector<std::string> calls; // "begin", "macros 123", "table 1", "end", "read table 0" ...
    int failTableWrite = -1;        // profile whose table write fails
    bool failReads = false;

    int ActiveProfile() override { return active; }
    std::size_t MacroCapacity() override { return capacity; }
    int BeginTransfer() override { return Record("begin"), 1; }
    int EndTransfer() override { return Record("end"), 1; }
    int ReadKeyTable(DeviceKeyTable& out, int profile) override {
        Record("read table " + std::to_string(profile));
        if (failReads)
            return -2;
        out = tables[profile];
        return 1;
    }
    int WriteKeyTable(const DeviceKeyTable& table, int profile) override {
        Record("table " + std::to_string(profile));
        if (profile == failTableWrite)
            return -2;
        tables[profile] = table;
        return 1;
    }
    int ReadMacroArea(std::uint8_t* out, std::size_t count) override {
        Record("read macros " + std::to_string(count));
        if (count > macroArea.size())
            return -103;
        std::memcpy(out, macroArea.data(), count);
        return 1;
    }
    int WriteMacroArea(const std::uint8_t* data, std::size_t count) override {
        Record("macros " + std::to_string(count));
        if (count > macroArea.size())
            return -103;
        std::memcpy(macroArea.data(), data, count);
        return 1;
    }

private:
    void Record(std::string call) { calls.push_back(std::move(call)); }
};

} // namespace brindle::test
